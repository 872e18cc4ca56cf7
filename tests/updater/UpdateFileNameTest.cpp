// Which manifest file names stay inside the program folder.
#include "updater/UpdateFileName.h"

#include <gtest/gtest.h>

namespace {

TEST(UpdateFileNameTest, NamesThatLeaveTheFolderOrNameNoFileAreRefused)
{
    for (const char* name : {"TolvanClient", "plugins/a.dll", "plugins\\a.dll", "Image\\图标\\horn.gif",
                             "..a", "a..", ".hidden", "configure.ini"})
        EXPECT_TRUE(IsSafeFileName(name)) << name;
    for (const char* name : {"", "/etc/passwd", "\\etc\\passwd", "C:\\Windows\\x.dll", "c:x.dll", "..",
                             "../TolvanClient", "..\\TolvanClient", "plugins/../../x", "plugins\\..\\..\\x",
                             "a/./b", "a//b", "plugins/", "a\nb", "a\tb"})
        EXPECT_FALSE(IsSafeFileName(name)) << name;
    EXPECT_EQ(LocalFileName("Image\\图标\\horn.gif"), "Image/图标/horn.gif");
}

TEST(UpdateFileNameTest, ClashesBetweenNamesAreFound)
{
    EXPECT_EQ(FindInvalidFileName({"a", "b/c", "b\\d"}), "");
    EXPECT_EQ(FindInvalidFileName({"a", "../b"}), "../b");
    EXPECT_EQ(FindInvalidFileName({"b/c", "b\\c"}), "b\\c");
    // One file's backup name taken by another file.
    EXPECT_EQ(FindInvalidFileName({"a.dll", "a.dll.old"}), "a.dll.old");
    // The update folder's own record.
    EXPECT_EQ(FindInvalidFileName({"replace.journal"}), "replace.journal");
}

} // namespace
