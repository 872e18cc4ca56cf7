#pragma once
// MD5 checks of downloaded files.

#include <string>

// True for exactly 32 hexadecimal digits (either case): a manifest md5 that
// the download is checked against. Other texts are not checked.
bool IsMd5Text(const std::string& strText);

// The file's MD5 as 32 lower-case hexadecimal digits; empty when it cannot
// be read.
std::string FileMd5(const std::string& strPath);

// True when the file's MD5 equals `strMd5` (compared without regard to case).
bool FileMatchesMd5(const std::string& strPath, const std::string& strMd5);
