#pragma once
// The tray tool's configuration store: two INI files named "configure.ini",
// both with the single group [LinkInfo].
//
//   user file          <roaming application data>/SiteSystem/configure.ini
//                      username, compId
//   installation file  <program folder>/configure.ini
//                      pushUrl, Port, version, the site pages, IP, Url
//
// Nothing is cached here: every read and every write goes through a fresh Qt
// INI settings object, so a value written by another store object or by
// another process (Fetchwell rewrites `version`) is seen by the next read.
// (Qt re-reads a file whose size or modification time, in milliseconds, has
// changed since it last read it.)
//
// Key and group names are matched without regard to case, as Fetchwell's
// profile functions match them: a read that misses the exact spelling takes
// the first key that differs only in case, and a write replaces such a key
// under its existing spelling instead of adding a second one.

#include <QString>
#include <string>

class CConfigure {
public:
    // The files of this installation and of the current user.
    CConfigure();
    // Explicit files, for tools and tests that work on another installation.
    CConfigure(QString installFilePath, QString userFilePath);

    QString getUsername() const;
    QString getCompId() const;
    QString getPushUrl() const;
    QString getPort() const;
    QString getVersion() const;
    QString getLogoutUrl() const;
    QString getExpUrl() const;
    QString getTaskTakeUrl() const;
    QString getGrabUrl() const;
    QString getSuccGrabUrl() const;

    void setUsername(const QString& value) const;
    void setCompId(const QString& value) const;
    void setPushUrl(const QString& value) const;
    void setPort(const QString& value) const;
    void setLogoutUrl(const QString& value) const;
    void setExpUrl(const QString& value) const;
    void setIP(const QString& value) const;
    void setUrl(const QString& value) const;

    const QString& installFilePath() const { return m_strInstallPath; }
    const QString& userFilePath() const { return m_strUserPath; }

    // The user's roaming application-data folder (not created by the lookup).
    static QString appDataPath();
    static std::string toUtf8String(const QString& text);
    static QString fromUtf8String(const std::string& text);

private:
    void makeSureFilesExist() const;
    static QString read(const QString& file, const QString& key);
    static void write(const QString& file, const QString& key, const QString& value);

    QString m_strInstallPath;
    QString m_strUserPath;
};
