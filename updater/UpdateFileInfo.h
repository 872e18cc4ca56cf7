#pragma once
// One file entry of the update manifest, its attributes in manifest order.

#include <string>

struct UpdateFileInfo {
    std::string strUrl;              // full address of the file
    std::string strName;             // path below the program folder
    std::string strPostfix;          // stored, no effect
    std::string strStatus;           // stored, no effect
    std::string strStorageLocation;  // stored, no effect
    std::string strMd5;              // checked when it is 32 hexadecimal digits
};
