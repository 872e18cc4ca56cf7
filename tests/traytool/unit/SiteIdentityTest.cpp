#include "traytool/core/SiteIdentity.h"

#include "traytool/core/Configure.h"
#include "traytool/core/ProcessState.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

struct IdentityCase {
    QStringList arguments;
    int startMode;
    const char* username;  // stored afterwards
    const char* compId;
};

class SiteIdentity : public ::testing::TestWithParam<IdentityCase> {};

TEST_P(SiteIdentity, StoresTheIdentityOfTheFirstArgument)
{
    const IdentityCase& c = GetParam();
    testsupport::TempFolder folder("identity-test");
    testsupport::writeFile(folder.file("configure.ini"), "[LinkInfo]\nPort=40008\n");
    CConfigure config(QString::fromStdString(folder.file("configure.ini")),
                      QString::fromStdString(folder.file("user/configure.ini")));
    config.setUsername("OLD-U");
    config.setCompId("OLD-C");

    EXPECT_EQ(traytool::applySiteIdentity(c.arguments, config), c.startMode);
    EXPECT_EQ(config.getUsername().toStdString(), c.username);
    EXPECT_EQ(config.getCompId().toStdString(), c.compId);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, SiteIdentity,
    ::testing::Values(
        IdentityCase{{"C100;U200"}, traytool::kStartWithIdentity, "U200", "C100"},
        IdentityCase{{"a;b;c"}, traytool::kStartWithIdentity, "b", "a"},
        IdentityCase{{"C100;U200", "C9;U9"}, traytool::kStartWithIdentity, "U200", "C100"},
        IdentityCase{{";U200"}, traytool::kStartWithIdentity, "U200", ""},
        IdentityCase{{"C100;"}, traytool::kStartWithIdentity, "", "C100"},
        IdentityCase{{QString::fromUtf8("站点7;张三")}, traytool::kStartWithIdentity, "张三", "站点7"},
        // The client's own start: its executable path, no identity.
        IdentityCase{{"/opt/tolvan/TolvanClient"}, traytool::kStartWithoutIdentity, "OLD-U", "OLD-C"},
        IdentityCase{{}, traytool::kStartWithoutIdentity, "OLD-U", "OLD-C"},
        IdentityCase{{""}, traytool::kStartWithoutIdentity, "OLD-U", "OLD-C"}));

TEST(SiteIdentityStored, AStoredUsernameEqualToTheWholeArgumentKeepsTheIdentity)
{
    testsupport::TempFolder folder("identity-same-test");
    testsupport::writeFile(folder.file("configure.ini"), "[LinkInfo]\n");
    CConfigure config(QString::fromStdString(folder.file("configure.ini")),
                      QString::fromStdString(folder.file("user/configure.ini")));
    config.setUsername("C1;U1");
    config.setCompId("C0");
    EXPECT_EQ(traytool::applySiteIdentity({"C1;U1"}, config), traytool::kStartWithIdentity);
    EXPECT_EQ(config.getUsername(), "C1;U1");
    EXPECT_EQ(config.getCompId(), "C0");
}

} // namespace
