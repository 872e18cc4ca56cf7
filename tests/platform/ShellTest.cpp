#include "platform/Shell.h"

#include "LocaleScope.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace platform;
using testsupport::ScopedEnv;
using testsupport::TempFolder;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

void writeFileIn(const std::string& path, const std::string& content)
{
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
    writeFile(path, content);
}

// A desktop environment of its own: the user's and the system's XDG folders,
// all inside one temporary folder.
class FindExecutableTest : public ::testing::Test {
protected:
    TempFolder m_root{"tolvan-xdg"};
    std::string m_configHome = m_root.file("config");
    std::string m_systemConfig = m_root.file("etc-xdg");
    std::string m_dataHome = m_root.file("data");
    std::string m_systemData = m_root.file("usr-share");
    ScopedEnv m_env1{"XDG_CONFIG_HOME", m_configHome};
    ScopedEnv m_env2{"XDG_CONFIG_DIRS", m_systemConfig};
    ScopedEnv m_env3{"XDG_DATA_HOME", m_dataHome};
    ScopedEnv m_env4{"XDG_DATA_DIRS", m_systemData};
    ScopedEnv m_env5{"XDG_CURRENT_DESKTOP", std::string("Test:Other")};

    void SetUp() override
    {
        // The MIME database itself stays the system's.
        QDir().mkpath(QString::fromStdString(m_systemData));
        ASSERT_EQ(symlink("/usr/share/mime", (m_systemData + "/mime").c_str()), 0);
    }

    void application(const std::string& folder, const std::string& relativePath, const std::string& lines)
    {
        writeFileIn(folder + "/applications/" + relativePath, "[Desktop Entry]\nType=Application\n" + lines);
    }
};

TEST_F(FindExecutableTest, TheDefaultApplicationOfTheFilesTypeWins)
{
    application(m_systemData, "calc.desktop",
                "Name=Calc\nExec=\"/opt/my office/bin/calc\" --calc %U\nMimeType=application/vnd.ms-excel;\n");
    application(m_systemData, "viewer.desktop", "Exec=sheetviewer %f\nMimeType=application/vnd.ms-excel;\n");
    application(m_dataHome, "gone.desktop", "Exec=gone %f\nHidden=true\n");
    // The first installed, visible entry of the most important list counts.
    writeFileIn(m_configHome + "/mimeapps.list",
                "[Default Applications]\napplication/vnd.ms-excel=missing.desktop;gone.desktop;calc.desktop;\n");
    writeFileIn(m_systemData + "/applications/mimeapps.list",
                "[Default Applications]\napplication/vnd.ms-excel=viewer.desktop\n");
    // The file need not exist: its name tells its type.
    EXPECT_EQ(findExecutableFor(m_root.file("1.xls")), "/opt/my office/bin/calc");

    // The desktop's own list comes before the general one of the same folder.
    writeFileIn(m_configHome + "/test-mimeapps.list",
                "[Default Applications]\napplication/vnd.ms-excel=viewer.desktop\n");
    EXPECT_EQ(findExecutableFor(m_root.file("1.xls")), "sheetviewer");
}

TEST_F(FindExecutableTest, WithoutADefaultAssociationsAndDeclaredTypesCount)
{
    application(m_systemData, "vendor/editor.desktop", "Exec=myedit --new-window %F\nMimeType=text/plain;\n");
    application(m_dataHome, "writer.desktop", "Exec=writer %f\nMimeType=application/rtf;text/x-csrc;\n");
    application(m_systemData, "imageview.desktop", "Exec=imageview %f\nMimeType=image/png;\n");
    application(m_systemData, "paint.desktop", "Exec=paint %f\n");
    writeFileIn(m_systemConfig + "/mimeapps.list",
                "[Added Associations]\nimage/png=paint.desktop;\n"
                "[Removed Associations]\nimage/png=imageview.desktop;paint.desktop;\n"
                "[Default Applications]\ntext/x-csrc=vendor-editor.desktop;\n");
    struct Case {
        const char* file;
        const char* program;
    };
    const Case cases[] = {
        {"notes.txt", "myedit"},        // declared in a desktop file in a subfolder
        {"main.c", "myedit"},           // its default (named by id) before what declares it
        {"letter.rtf", "writer"},
        {"README.md", "myedit"},        // text/markdown derives from text/plain
        {"picture.png", ""},             // every association removed
        {"data.zz-no-such-type", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(findExecutableFor(m_root.file(c.file)), c.program) << c.file;
}

} // namespace
