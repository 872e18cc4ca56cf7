#include "updater/UpdateFileName.h"

#include "updater/ReplaceJournal.h"

#include <algorithm>
#include <set>
#include <sstream>

std::string LocalFileName(const std::string& strName)
{
    std::string strLocal = strName;
    std::replace(strLocal.begin(), strLocal.end(), '\\', '/');
    return strLocal;
}

bool IsSafeFileName(const std::string& strName)
{
    const std::string strLocal = LocalFileName(strName);
    if (strLocal.empty() || strLocal.front() == '/')
        return false;
    if (strLocal.size() >= 2 && strLocal[1] == ':')
        return false;
    if (std::any_of(strLocal.begin(), strLocal.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; }))
        return false;
    std::istringstream parts(strLocal + "/");
    std::string strPart;
    while (std::getline(parts, strPart, '/')) {
        if (strPart.empty() || strPart == "." || strPart == "..")
            return false;
    }
    return true;
}

std::string FindInvalidFileName(const std::vector<std::string>& names)
{
    std::set<std::string> seen;
    for (const std::string& strName : names) {
        if (!IsSafeFileName(strName) || IsReservedUpdateFileName(LocalFileName(strName)))
            return strName;
        if (!seen.insert(LocalFileName(strName)).second)
            return strName;
    }
    for (const std::string& strName : names) {
        if (seen.count(LocalFileName(strName) + ".old"))
            return strName + ".old";
    }
    return {};
}
