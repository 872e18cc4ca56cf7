// Starting programs: where they are found, what arguments they get, and that
// they run independently of their starter.

#include "ProcessTestSupport.h"
#include "platform/ProgramStart.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QVariant>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platformtest;
using platform::findProgram;
using platform::startProgram;

namespace {

QJsonDocument parseJson(const std::string& line)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(line));
}

// Runs a command line that makes the helper print one JSON line.
QJsonDocument runAndRead(const std::string& commandLine)
{
    ChildOutput output;
    StartedProgram program(startProgram(commandLine));
    EXPECT_NE(program.pid(), 0) << commandLine;
    auto lines = output.waitForLines(1);
    return lines.empty() ? QJsonDocument() : parseJson(lines.front());
}

std::string startedPath(const std::string& commandLine)
{
    return runAndRead(commandLine).object().value("path").toString().toStdString();
}

// Signal mask and ignored signals of a process, from /proc/<pid>/status.
std::string signalLine(pid_t pid, const std::string& key)
{
    std::string status = testsupport::readFile("/proc/" + std::to_string(pid) + "/status");
    auto start = status.find(key + ":\t");
    return start == std::string::npos ? "" : status.substr(start + key.size() + 2, 16);
}

std::string descriptorTarget(pid_t pid, int fd)
{
    std::error_code error;
    auto target = std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/fd/" + std::to_string(fd), error);
    return target.string();
}

class ProgramLookup : public ::testing::Test {
protected:
    ProgramLookup()
    {
        copyExecutable(helperPath(), m_pathFolder.file(kHelper));
        copyExecutable(helperPath(), m_pathFolder.file("tolvan-path-only"));
        testsupport::writeFile(m_pathFolder.file("tolvan-not-executable"), "#!/bin/sh\n");
        ::chmod(m_pathFolder.file("tolvan-not-executable").c_str(), 0644);
        testsupport::writeFile(m_pathFolder.file("tolvan-shell-text"), "touch " + m_pathFolder.file("ran") + "\n");
        ::chmod(m_pathFolder.file("tolvan-shell-text").c_str(), 0755);
    }

    testsupport::TempFolder m_pathFolder{"tolvan-path"};
    ScopedEnvironment m_path{"PATH", m_pathFolder.path() + ":" + std::getenv("PATH")};
};

TEST_F(ProgramLookup, OwnFolderComesBeforePath)
{
    // The test program's folder holds the helper; PATH holds another copy.
    EXPECT_EQ(findProgram(kHelper), helperPath());
    EXPECT_EQ(startedPath(std::string(kHelper) + " describe"), helperPath());

    EXPECT_EQ(findProgram("tolvan-path-only"), m_pathFolder.file("tolvan-path-only"));
    EXPECT_EQ(startedPath("tolvan-path-only describe"), m_pathFolder.file("tolvan-path-only"));

    // A name with '/' is taken as it is, quoted or not.
    const std::string copy = m_pathFolder.file(kHelper);
    EXPECT_EQ(findProgram(copy), copy);
    EXPECT_EQ(startedPath("\"" + copy + "\" describe"), copy);
}

TEST_F(ProgramLookup, WhatCannotRunIsNotStarted)
{
    for (const char* name : {"tolvan-no-such-program", "tolvan-not-executable", "/tmp", "./tolvan-path-only"}) {
        EXPECT_EQ(findProgram(name), "") << name;
        EXPECT_FALSE(startProgram(name).has_value()) << name;
    }
    EXPECT_FALSE(startProgram("").has_value());
    EXPECT_FALSE(startProgram(" \t").has_value());

    // Executable but without an interpreter line: exec fails, and the text is
    // never handed to a shell instead.
    EXPECT_EQ(findProgram("tolvan-shell-text"), m_pathFolder.file("tolvan-shell-text"));
    EXPECT_FALSE(startProgram("tolvan-shell-text").has_value());
    EXPECT_FALSE(std::filesystem::exists(m_pathFolder.file("ran")));
}

TEST(ProgramStart, ArgumentsArriveAsPlainText)
{
    testsupport::TempFolder folder;
    const std::string marker = folder.file("ran");
    const std::string commandLine = std::string(kHelper) +
        R"( print-args "a b"  c\"d "" ; | $(touch )" + marker + R"() `touch )" + marker + R"(` 'q r' "x ""y"" z" 中文)";
    const QJsonArray expected{"a b", "c\"d", "", ";", "|", "$(touch", QString::fromStdString(marker) + ")",
                              "`touch", QString::fromStdString(marker) + "`", "'q", "r'", "x \"y\" z", "中文"};
    EXPECT_EQ(runAndRead(commandLine).array(), expected);
    EXPECT_FALSE(std::filesystem::exists(marker));

    // The list form passes every argument untouched.
    ChildOutput output;
    const std::vector<std::string> arguments{"print-args", "a \"b\" c\\", "", "$HOME; id"};
    StartedProgram program(startProgram(kHelper, arguments));
    auto lines = output.waitForLines(1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(parseJson(lines[0]).array(), (QJsonArray{"a \"b\" c\\", "", "$HOME; id"}));
}

TEST(ProgramStart, InheritsEnvironmentAndFolderButNoDescriptors)
{
    testsupport::TempFolder folder;
    ScopedEnvironment mark("TOLVAN_TEST_MARK", std::string("mark 1"));
    const std::string previousFolder = std::filesystem::current_path();
    ASSERT_EQ(::chdir(folder.path().c_str()), 0);
    int leaked = ::open("/dev/null", O_RDONLY);  // inheritable, as descriptors of libraries often are

    QJsonObject description = runAndRead(std::string(kHelper) + " describe").object();
    ::close(leaked);
    ASSERT_EQ(::chdir(previousFolder.c_str()), 0);

    EXPECT_EQ(description.value("cwd").toString().toStdString(), folder.path());
    EXPECT_EQ(description.value("mark").toString(), "mark 1");
    EXPECT_TRUE(description.value("sessionLeader").toBool());
    EXPECT_EQ(description.value("descriptors").toArray(), (QJsonArray{0, 1, 2}));
}

TEST(ProgramStart, HasNoConsoleAndDefaultSignals)
{
    // A blocked and an ignored signal in the starter must not reach the program.
    sigset_t blocked, previousMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    ::pthread_sigmask(SIG_BLOCK, &blocked, &previousMask);
    auto previousHandler = std::signal(SIGUSR2, SIG_IGN);

    {
        ScopedEnvironment noOutput("TOLVAN_CHILD_OUTPUT", std::nullopt);
        StartedProgram program(startProgram(std::string(kHelper) + " sleep"));
        ASSERT_NE(program.pid(), 0);
        EXPECT_EQ(signalLine(program.pid(), "SigBlk"), "0000000000000000");
        EXPECT_EQ(signalLine(program.pid(), "SigIgn"), "0000000000000000");
        for (int fd : {0, 1, 2})
            EXPECT_EQ(descriptorTarget(program.pid(), fd), "/dev/null") << fd;
    }
    {
        ChildOutput output;
        StartedProgram program(startProgram(std::string(kHelper) + " sleep"));
        ASSERT_NE(program.pid(), 0);
        EXPECT_EQ(descriptorTarget(program.pid(), 0), "/dev/null");
        EXPECT_EQ(descriptorTarget(program.pid(), 1), output.path());
        EXPECT_EQ(descriptorTarget(program.pid(), 2), output.path());
    }

    std::signal(SIGUSR2, previousHandler);
    ::pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
}

TEST(ProgramStart, StartedProgramIsNobodysChildAndOutlivesItsStarter)
{
    // Started by us: not our child, so nothing is left for us to reap.
    StartedProgram ours(startProgram(std::string(kHelper) + " sleep"));
    ASSERT_NE(ours.pid(), 0);
    const pid_t pid = ours.pid();
    EXPECT_NE(statField(pid, 2), std::to_string(::getpid()));
    EXPECT_TRUE(ours.end());
    EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);

    // Started by a starter that ends at once. The starter's output pipe closes
    // with its end (the program does not keep it), and the program runs on.
    auto result = testsupport::runProgram(helperPath(), {"start", QString(kHelper) + " sleep"});
    ASSERT_TRUE(result.finished) << "the started program kept the starter's output open";
    ASSERT_EQ(result.out.rfind("started ", 0), 0u) << result.out;
    StartedProgram orphan(pid_t(std::stoi(result.out.substr(8))));
    EXPECT_TRUE(platform::isProcessRunning(orphan.pid()));
    EXPECT_EQ(statField(orphan.pid(), 4), std::to_string(orphan.pid()));  // its own session
}

} // namespace
