#pragma once
// One HTTP(S) GET into one file.

#include <string>

// Downloads `strUrl` into `strPath`. The body goes to a new temporary file
// beside `strPath`, chunk by chunk as it arrives, and replaces `strPath` only
// when the whole body arrived: status 200, as many bytes as the response's
// Content-Length announced, and written to disk. On any failure `strPath` is
// left as it was and no temporary file remains.
//
// An address that is not an http or https address sets g_strLastError to
// "URLERR：" + the address. Every failure puts a short description into
// *pstrError when given (the status code, the transfer error).
bool DownloadFile(const std::string& strUrl, const std::string& strPath,
                  std::string* pstrError = nullptr);
