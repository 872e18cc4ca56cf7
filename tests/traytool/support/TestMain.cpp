// The tray tool's test programs run with a GUI application object (Qt's
// offscreen platform) and with the user's folders pointed at a private
// temporary folder, so no test touches a real user's configuration, log or
// cookie database.
#include "TestSupport.h"

#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testsupport::TempFolder home("traytool-test-home");
    const std::string config = home.path() + "/config";
    const std::string temp = home.path() + "/tmp";
    // The log's folder exists, as it does once an identity has been stored.
    std::system(("mkdir -p '" + config + "/SiteSystem' '" + temp + "'").c_str());
    setenv("HOME", home.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("TMPDIR", temp.c_str(), 1);

    // Headless unless the caller chose a platform (test discovery runs us
    // without the test environment).
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
