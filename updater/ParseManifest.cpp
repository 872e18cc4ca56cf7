#include "updater/ParseManifest.h"

#include "updater/InstalledVersion.h"
#include "updater/UpdateFileName.h"
#include "updater/UpdaterGlobals.h"
#include "updater/UpdaterTexts.h"

#include <tinyxml.h>

#include <algorithm>

namespace {

std::string AttributeText(const TiXmlElement* element, const char* name)
{
    const char* value = element->Attribute(name);
    return value ? value : std::string();
}

UpdateFileInfo ReadFileEntry(const TiXmlElement* element)
{
    return {AttributeText(element, "url"),     AttributeText(element, "name"),
            AttributeText(element, "postfix"), AttributeText(element, "status"),
            AttributeText(element, "storagelocation"), AttributeText(element, "md5")};
}

// The version goes into configure.ini; a line break in it would add lines
// of its own there.
bool HasControlCharacter(const std::string& strText)
{
    return std::any_of(strText.begin(), strText.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; });
}

} // namespace

bool ParseManifest(const std::string& strPath)
{
    g_updateFiles.clear();

    TiXmlDocument document;
    if (!document.LoadFile(strPath.c_str())) {
        g_strLastError = std::string(document.ErrorDesc()) + std::string(updater_text::kXmlErrorLine) +
                         std::to_string(document.ErrorRow());
        return false;
    }

    const TiXmlElement* root = document.RootElement();
    if (!root || !root->FirstChild())
        return false;
    const TiXmlElement* versionElement = root->FirstChildElement();
    if (!versionElement)
        return false;

    g_strServerVersion = AttributeText(versionElement, "majorversion") + "." +
                         AttributeText(versionElement, "minorversion") + "." +
                         AttributeText(versionElement, "smallversion");
    AttributeText(versionElement, "platform");  // read, no effect
    if (HasControlCharacter(g_strServerVersion)) {
        g_strLastError = std::string(updater_text::kInvalidVersion) + g_strServerVersion;
        return false;
    }
    if (!IsNewVersion()) {
        g_strLastError = updater_text::kUpToDate;
        return false;
    }

    const TiXmlElement* fileList = versionElement->NextSiblingElement();
    if (!fileList)
        return false;
    std::vector<UpdateFileInfo> files;
    std::vector<std::string> names;
    for (const TiXmlElement* entry = fileList->FirstChildElement(); entry; entry = entry->NextSiblingElement()) {
        files.push_back(ReadFileEntry(entry));
        names.push_back(files.back().strName);
    }
    if (const std::string strInvalid = FindInvalidFileName(names); !strInvalid.empty()) {
        g_strLastError = std::string(updater_text::kInvalidFileName) + strInvalid;
        return false;
    }
    g_updateFiles = std::move(files);
    return true;
}
