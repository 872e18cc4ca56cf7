#pragma once
// The rule for manifest file names. A name is a path below the program folder
// (and below the update folder, where its download lands); '\' and '/' both
// separate its parts.

#include <string>
#include <vector>

// The name with '/' as its only separator.
std::string LocalFileName(const std::string& strName);

// True when the name stays inside the folder it is appended to: not empty,
// not absolute (no leading separator, no drive letter), no empty, "." or ".."
// part, and no control characters.
bool IsSafeFileName(const std::string& strName);

// The first name of the list that is unsafe, or that clashes with another
// (the same file twice, or one name being another's ".old" backup); empty
// when every name is fine.
std::string FindInvalidFileName(const std::vector<std::string>& names);
