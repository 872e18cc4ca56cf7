#include "updater/FileMd5.h"

#include <QCryptographicHash>
#include <QFile>

#include <algorithm>
#include <cctype>

bool IsMd5Text(const std::string& strText)
{
    return strText.size() == 32 &&
           std::all_of(strText.begin(), strText.end(), [](unsigned char c) { return std::isxdigit(c); });
}

std::string FileMd5(const std::string& strPath)
{
    QFile file(QString::fromStdString(strPath));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Md5);
    if (!hash.addData(&file))
        return {};
    return hash.result().toHex().toStdString();
}

bool FileMatchesMd5(const std::string& strPath, const std::string& strMd5)
{
    std::string strExpected = strMd5;
    std::transform(strExpected.begin(), strExpected.end(), strExpected.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    const std::string strActual = FileMd5(strPath);
    return !strActual.empty() && strActual == strExpected;
}
