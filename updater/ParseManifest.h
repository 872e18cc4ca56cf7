#pragma once
// The update manifest, update.xml. Positions decide, not element names:
//
//   <root>                                  the document's first element
//     <version majorversion= minorversion= smallversion= platform= />
//     <files>                               the version element's next sibling
//       <file url= name= postfix= status= storagelocation= md5= />
//       ...
//     </files>
//   </root>
//
// A missing attribute reads as empty text.

#include <string>

// Reads the manifest into g_strServerVersion and g_updateFiles. True when it
// was read, its version differs from the installed one and its file list was
// built (also when that list is empty). Otherwise false, with g_strLastError:
//   - malformed XML: the XML library's description + "错误行为：" + line;
//   - the installed version: "当前版本为最新版本，无需更新";
//   - a file name that would leave the program folder or clashes with
//     another: "更新文件名无效：" + name (the whole manifest is refused);
//   - a version text with control characters: "更新版本号无效：" + text;
//   - no root, no version element, no file list: left as it was.
bool ParseManifest(const std::string& strPath);
