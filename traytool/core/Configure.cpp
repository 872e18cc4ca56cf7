#include "traytool/core/Configure.h"

#include "platform/Paths.h"

#include <QFile>
#include <QSettings>
#include <QStringList>

namespace {

const QString kGroup = QStringLiteral("LinkInfo");

// The existing spelling of `name` among `names`: the exact one when present,
// else the first that differs only in case, else `name` itself.
QString existingSpelling(const QStringList& names, const QString& name)
{
    if (names.contains(name))
        return name;
    for (const QString& candidate : names) {
        if (candidate.compare(name, Qt::CaseInsensitive) == 0)
            return candidate;
    }
    return name;
}

void enterLinkInfo(QSettings& settings)
{
    settings.beginGroup(existingSpelling(settings.childGroups(), kGroup));
}

void createEmptyFileIfMissing(const QString& path)
{
    QFile file(path);
    if (!file.exists() && file.open(QIODevice::ReadWrite))
        file.close();
}

} // namespace

CConfigure::CConfigure()
    : CConfigure(QString::fromStdString(platform::programFolder()) + "/configure.ini",
                 QString(appDataPath()).replace('\\', '/') + "/SiteSystem/configure.ini")
{
}

CConfigure::CConfigure(QString installFilePath, QString userFilePath)
    : m_strInstallPath(std::move(installFilePath)), m_strUserPath(std::move(userFilePath))
{
    makeSureFilesExist();
}

void CConfigure::makeSureFilesExist() const
{
    // Creating the user file fails while its folder is missing; the first
    // write through the settings writer creates folder and file then.
    createEmptyFileIfMissing(m_strUserPath);
    if (QFile::exists(m_strInstallPath))
        return;
    createEmptyFileIfMissing(m_strInstallPath);
    // A new installation file starts with its keys present and empty, and a
    // new installation forgets the identity stored for the user.
    setUsername(QString());
    setCompId(QString());
    setLogoutUrl(QString());
    setPushUrl(QString());
    setExpUrl(QString());
    setIP(QString());
    setUrl(QString());
    setPort(QString());
}

QString CConfigure::read(const QString& file, const QString& key)
{
    QSettings settings(file, QSettings::IniFormat);
    enterLinkInfo(settings);
    const QVariant value = settings.value(existingSpelling(settings.childKeys(), key));
    // A value with an unquoted ',' reads as a list; a profile read sees the
    // text as it stands in the file.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(',');
    return value.toString();
}

void CConfigure::write(const QString& file, const QString& key, const QString& value)
{
    QSettings settings(file, QSettings::IniFormat);
    enterLinkInfo(settings);
    settings.setValue(existingSpelling(settings.childKeys(), key), value);
    settings.endGroup();
    // Leaving the scope writes the file; a failed write is lost silently.
}

QString CConfigure::getUsername() const { return read(m_strUserPath, "username"); }
QString CConfigure::getCompId() const { return read(m_strUserPath, "compId"); }
QString CConfigure::getPushUrl() const { return read(m_strInstallPath, "pushUrl"); }
QString CConfigure::getPort() const { return read(m_strInstallPath, "Port"); }
QString CConfigure::getVersion() const { return read(m_strInstallPath, "version"); }
QString CConfigure::getLogoutUrl() const { return read(m_strInstallPath, "logoutUrl"); }
QString CConfigure::getExpUrl() const { return read(m_strInstallPath, "expUrl"); }
QString CConfigure::getTaskTakeUrl() const { return read(m_strInstallPath, "taskTakeUrl"); }
QString CConfigure::getGrabUrl() const { return read(m_strInstallPath, "grabUrl"); }
QString CConfigure::getSuccGrabUrl() const { return read(m_strInstallPath, "succGrabUrl"); }

void CConfigure::setUsername(const QString& value) const { write(m_strUserPath, "username", value); }
void CConfigure::setCompId(const QString& value) const { write(m_strUserPath, "compId", value); }
void CConfigure::setPushUrl(const QString& value) const { write(m_strInstallPath, "pushUrl", value); }
void CConfigure::setPort(const QString& value) const { write(m_strInstallPath, "Port", value); }
void CConfigure::setLogoutUrl(const QString& value) const { write(m_strInstallPath, "logoutUrl", value); }
void CConfigure::setExpUrl(const QString& value) const { write(m_strInstallPath, "expUrl", value); }
void CConfigure::setIP(const QString& value) const { write(m_strInstallPath, "IP", value); }
void CConfigure::setUrl(const QString& value) const { write(m_strInstallPath, "Url", value); }

QString CConfigure::appDataPath()
{
    // File names are UTF-8 here, which is also the locale's code page.
    return QString::fromStdString(platform::roamingAppDataFolder());
}

std::string CConfigure::toUtf8String(const QString& text) { return text.toStdString(); }

QString CConfigure::fromUtf8String(const std::string& text) { return QString::fromStdString(text); }
