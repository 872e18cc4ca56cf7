// The real tray tool's start: single instance, site identity, start-up log.
#include "PushTestServer.h"
#include "TrayToolInstallation.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

using traytooltest::TrayToolInstallation;

TEST(TrayToolStartup, StoresTheIdentityAndLogsItsStart)
{
    TrayToolInstallation tray;
    auto program = tray.start({"C100;U200"});
    ASSERT_TRUE(tray.waitForLogEntries(QString::fromUtf8("程序启动!"), 1));

    const std::string user = testsupport::readFile(tray.userConfigPath());
    EXPECT_NE(user.find("username=U200"), std::string::npos) << user;
    EXPECT_NE(user.find("compId=C100"), std::string::npos) << user;
    // The installation file was created, and the push client filled in its
    // defaults.
    ASSERT_TRUE(testsupport::waitUntil([&] {
        return testsupport::readFile(tray.installConfigPath()).find("Port=40008") != std::string::npos;
    }));
    const std::string install = testsupport::readFile(tray.installConfigPath());
    for (const char* key : {"logoutUrl=", "expUrl=", "IP=", "Url=", "pushUrl=127.0.0.1"})
        EXPECT_NE(install.find(key), std::string::npos) << key << "\n" << install;

    const std::string log = tray.log();
    ASSERT_EQ(log.rfind("Start output log:\nPrintTime:  ", 0), 0u) << log;
    EXPECT_NE(log.find("The  0Lines: -----------------------\n"), std::string::npos) << log;
    EXPECT_NE(log.find("The  1Lines: 程序启动!\n"), std::string::npos) << log;
}

TEST(TrayToolStartup, ASecondInstanceWritesNothing)
{
    TrayToolInstallation tray;
    auto first = tray.start({"C100;U200"});
    ASSERT_TRUE(tray.waitForLogEntries(QString::fromUtf8("程序启动!"), 1));
    const std::string userBefore = testsupport::readFile(tray.userConfigPath());

    auto second = tray.start({"C999;U999"});
    // The second one waits for the guard, then only shows its box; OK ends it.
    const auto pressed = testsupport::runProgram(testsupport::binDir() + "/tolvanctl",
                                                 {"press", QString::fromUtf8("进程唯一"), "ok", "--wait", "15000"});
    EXPECT_EQ(pressed.exitCode, 0) << pressed.out << pressed.err;
    ASSERT_TRUE(second->waitForExit(10000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(testsupport::readFile(tray.userConfigPath()), userBefore);
    EXPECT_EQ(tray.countLogEntries("-----------------------"), 1);
    EXPECT_EQ(tray.countLogEntries(QString::fromUtf8("程序启动!")), 1);
}

TEST(TrayToolStartup, AKilledInstanceMakesRoomForTheNextAtOnce)
{
    // The client kills the tray tool and starts a new one right away.
    TrayToolInstallation tray;
    auto first = tray.start({"C100;U200"});
    ASSERT_TRUE(tray.waitForLogEntries(QString::fromUtf8("程序启动!"), 1));
    first->kill();
    auto second = tray.start({"C101;U201"});
    ASSERT_TRUE(tray.waitForLogEntries(QString::fromUtf8("程序启动!"), 2));
    EXPECT_NE(testsupport::readFile(tray.userConfigPath()).find("username=U201"), std::string::npos);
}

TEST(TrayToolStartup, StartedByTheClientWithItsPathKeepsTheIdentity)
{
    TrayToolInstallation tray;
    {
        auto first = tray.start({"C100;U200"});
        ASSERT_TRUE(tray.waitForLogEntries(QString::fromUtf8("程序启动!"), 1));
    }
    auto second = tray.start({"/opt/tolvan/TolvanClient"});
    ASSERT_TRUE(tray.waitForLogEntries(QString::fromUtf8("程序启动!"), 2));
    const std::string user = testsupport::readFile(tray.userConfigPath());
    EXPECT_NE(user.find("username=U200"), std::string::npos) << user;
    EXPECT_NE(user.find("compId=C100"), std::string::npos) << user;
}

} // namespace
