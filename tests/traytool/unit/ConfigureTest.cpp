#include "traytool/core/Configure.h"

#include "TestSupport.h"

#include "platform/Profile.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

using testsupport::readFile;
using testsupport::writeFile;

class ConfigureTest : public ::testing::Test {
protected:
    QString installFile() const { return QString::fromStdString(m_folder.file("bin/configure.ini")); }
    QString userFile() const { return QString::fromStdString(m_folder.file("user/SiteSystem/configure.ini")); }
    void SetUp() override { QDir().mkpath(QString::fromStdString(m_folder.file("bin"))); }

    testsupport::TempFolder m_folder{"configure-test"};
};

TEST_F(ConfigureTest, NewInstallationFileGetsItsSixEmptyKeysAndForgetsTheIdentity)
{
    QDir().mkpath(QString::fromStdString(m_folder.file("user/SiteSystem")));
    writeFile(userFile().toStdString(), "[LinkInfo]\nusername=U1\ncompId=C1\n");

    CConfigure config(installFile(), userFile());

    QSettings install(installFile(), QSettings::IniFormat);
    EXPECT_EQ(install.childGroups(), QStringList{"LinkInfo"});
    install.beginGroup("LinkInfo");
    QStringList keys = install.childKeys();
    keys.sort();
    EXPECT_EQ(keys, (QStringList{"IP", "Port", "Url", "expUrl", "logoutUrl", "pushUrl"}));
    for (const QString& key : keys)
        EXPECT_EQ(install.value(key).toString(), "") << key.toStdString();
    EXPECT_EQ(config.getUsername(), "");
    EXPECT_EQ(config.getCompId(), "");

    // An existing installation file is left alone, and so is the identity.
    config.setUsername("U2");
    CConfigure again(installFile(), userFile());
    EXPECT_EQ(again.getUsername(), "U2");
}

TEST_F(ConfigureTest, TheFirstWriteCreatesTheMissingUserFolder)
{
    writeFile(installFile().toStdString(), "[LinkInfo]\nPort=40008\n");
    CConfigure config(installFile(), userFile());
    EXPECT_FALSE(QFile::exists(userFile()));  // its folder does not exist yet
    EXPECT_EQ(config.getUsername(), "");

    config.setUsername("U200");
    config.setCompId("C100");
    EXPECT_EQ(config.getUsername(), "U200");
    EXPECT_EQ(config.getCompId(), "C100");
    EXPECT_NE(readFile(userFile().toStdString()).find("username=U200"), std::string::npos);
    // With the folder there, a new store creates the file at once.
    QFile::remove(userFile());
    CConfigure(installFile(), userFile());
    EXPECT_TRUE(QFile::exists(userFile()));
}

TEST_F(ConfigureTest, EveryReadSeesTheFileAsItIsNow)
{
    writeFile(installFile().toStdString(), "[LinkInfo]\nversion=4.4.0\n");
    CConfigure config(installFile(), userFile());
    EXPECT_EQ(config.getVersion(), "4.4.0");
    // Another process rewrites the file (the updater after an update).
    writeFile(installFile().toStdString(), "[LinkInfo]\nversion=4.5.10\ngrabUrl=http://127.0.0.1/grab\n");
    EXPECT_EQ(config.getVersion(), "4.5.10");
    EXPECT_EQ(config.getGrabUrl(), "http://127.0.0.1/grab");
    // Another store object's write is seen by this one.
    CConfigure(installFile(), userFile()).setPushUrl("push.example.test");
    EXPECT_EQ(config.getPushUrl(), "push.example.test");
}

TEST_F(ConfigureTest, KeysAndGroupMatchWithoutRegardToCase)
{
    writeFile(installFile().toStdString(),
              "[linkinfo]\nPORT=40010\nVersion=4.4.1\nlogouturl=http://127.0.0.1/out\n");
    CConfigure config(installFile(), userFile());
    EXPECT_EQ(config.getPort(), "40010");
    EXPECT_EQ(config.getVersion(), "4.4.1");
    EXPECT_EQ(config.getLogoutUrl(), "http://127.0.0.1/out");

    // A write replaces the key under its existing spelling.
    config.setPort("40011");
    const std::string text = readFile(installFile().toStdString());
    EXPECT_NE(text.find("PORT=40011"), std::string::npos) << text;
    EXPECT_EQ(text.find("Port="), std::string::npos) << text;
    EXPECT_EQ(text.find("[LinkInfo]"), std::string::npos) << text;
}

TEST_F(ConfigureTest, ValuesReadAsTheyStandInTheFile)
{
    writeFile(installFile().toStdString(),
              "[LinkInfo]\ntaskTakeUrl=http://127.0.0.1/task?a=1,b=2\nsuccGrabUrl=\"http://127.0.0.1/ok\"\n");
    CConfigure config(installFile(), userFile());
    EXPECT_EQ(config.getTaskTakeUrl(), "http://127.0.0.1/task?a=1,b=2");
    EXPECT_EQ(config.getSuccGrabUrl(), "http://127.0.0.1/ok");
    EXPECT_EQ(config.getExpUrl(), "");  // missing key
}

TEST_F(ConfigureTest, TheUpdaterAndTheTrayToolReadEachOthersWrites)
{
    const std::string install = installFile().toStdString();
    CConfigure config(installFile(), userFile());
    // The tray tool's writes, read as the updater reads them.
    config.setPushUrl("push.example.test");
    config.setPort("40008");
    config.setExpUrl("http://127.0.0.1/login?from=tray,relogin;x=1");
    EXPECT_EQ(platform::readProfileString(install, "LinkInfo", "pushUrl"), "push.example.test");
    EXPECT_EQ(platform::readProfileString(install, "linkinfo", "PORT"), "40008");
    EXPECT_EQ(platform::readProfileString(install, "LinkInfo", "expUrl"),
              "http://127.0.0.1/login?from=tray,relogin;x=1");
    EXPECT_EQ(platform::readProfileString(install, "LinkInfo", "IP", "none"), "");

    // The updater's writes, read by the tray tool.
    ASSERT_TRUE(platform::writeProfileString(install, "LinkInfo", "version", "4.5.0"));
    ASSERT_TRUE(platform::writeProfileString(install, "LinkInfo", "grabUrl", "http://127.0.0.1/grab?a=1,b=2;c"));
    ASSERT_TRUE(platform::writeProfileString(install, "LinkInfo", "PUSHURL", "push2.example.test"));
    EXPECT_EQ(config.getVersion(), "4.5.0");
    EXPECT_EQ(config.getGrabUrl(), "http://127.0.0.1/grab?a=1,b=2;c");
    EXPECT_EQ(config.getPushUrl(), "push2.example.test");
    EXPECT_EQ(config.getPort(), "40008");
    EXPECT_EQ(config.getExpUrl(), "http://127.0.0.1/login?from=tray,relogin;x=1");
}

TEST(ConfigureUtf8, ConvertsBothWays)
{
    const QString address = QString::fromUtf8("http://127.0.0.1/站点?x=1");
    const std::string bytes = CConfigure::toUtf8String(address);
    EXPECT_EQ(bytes, "http://127.0.0.1/站点?x=1");
    EXPECT_EQ(CConfigure::fromUtf8String(bytes), address);
}

} // namespace
