// Process snapshot, search by executable name, termination and waiting.

#include "ProcessTestSupport.h"
#include "platform/ProgramStart.h"
#include "shared/ProgramNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

using namespace platformtest;
using platform::findProcessByName;
using platform::processSnapshot;

namespace {

bool contains(const std::vector<platform::ProcessEntry>& snapshot, pid_t pid, const std::string& name)
{
    return std::any_of(snapshot.begin(), snapshot.end(),
                       [&](const auto& entry) { return entry.pid == pid && entry.exeName == name; });
}

TEST(Processes, SnapshotBeginsWithThePseudoProcessAndIsOrderedById)
{
    auto snapshot = processSnapshot();
    ASSERT_GE(snapshot.size(), 2u);
    EXPECT_EQ(snapshot[0].pid, 0);
    EXPECT_EQ(snapshot[0].exeName, "[System Process]");
    for (std::size_t i = 1; i < snapshot.size(); ++i) {
        EXPECT_LT(snapshot[i - 1].pid, snapshot[i].pid);
        EXPECT_FALSE(snapshot[i].exeName.empty());
        EXPECT_EQ(snapshot[i].exeName.find('/'), std::string::npos) << snapshot[i].exeName;
    }
    EXPECT_TRUE(contains(snapshot, ::getpid(), "platform_tests"));
}

TEST(Processes, SearchSkipsTheFirstEntryOnly)
{
    // The pseudo process is never found; the first real process is.
    EXPECT_EQ(findProcessByName("[System Process]"), 0);
    EXPECT_EQ(findProcessByName(""), processSnapshot().at(1).pid);
    EXPECT_EQ(findProcessByName("tolvan-no-such-program"), 0);
}

TEST(Processes, SearchUsesTheWholeExecutableName)
{
    // A copy, not a link: a link's /proc/<pid>/exe names its target.
    testsupport::TempFolder folder;
    const std::string name(tolvan::kTrayToolProgram);
    const std::string copy = folder.file(name);
    copyExecutable(helperPath(), copy);
    StartedProgram program(platform::startProgram(copy, {"sleep"}));
    ASSERT_NE(program.pid(), 0);
    ASSERT_EQ(testsupport::readFile("/proc/" + std::to_string(program.pid()) + "/comm"), name.substr(0, 15) + "\n");

    EXPECT_TRUE(contains(processSnapshot(), program.pid(), name));
    // Other programs of this user with that name may run; the search finds
    // the one with the lowest id.
    pid_t found = findProcessByName(name);
    EXPECT_TRUE(found == program.pid() || (found != 0 && found < program.pid())) << found;
    EXPECT_NE(findProcessByName("merivositesystem"), program.pid());  // case-sensitive

    // A program whose file was removed (as an update does) is still found by
    // its name.
    std::filesystem::remove(copy);
    EXPECT_TRUE(contains(processSnapshot(), program.pid(), name));
}

TEST(Processes, ProgramsOfAnotherLogonAreNotSeen)
{
    // Another runtime folder is another log-on: its programs are neither
    // found nor stopped by this one's search.
    testsupport::TempFolder folder;
    const std::string copy = folder.file(std::string(tolvan::kTrayToolProgram));
    copyExecutable(helperPath(), copy);
    testsupport::TempFolder otherLogon;
    std::optional<pid_t> otherPid;
    {
        ScopedEnvironment other("TOLVAN_RUNTIME_DIR", otherLogon.path());
        otherPid = platform::startProgram(copy, {"sleep"});
    }
    StartedProgram inOther(otherPid);
    ASSERT_NE(inOther.pid(), 0);
    ASSERT_TRUE(testsupport::waitUntil([&] { return platform::isProcessRunning(inOther.pid()); }));
    EXPECT_FALSE(contains(processSnapshot(), inOther.pid(), std::string(tolvan::kTrayToolProgram)));

    StartedProgram inOurs(platform::startProgram(copy, {"sleep"}));
    ASSERT_NE(inOurs.pid(), 0);
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return contains(processSnapshot(), inOurs.pid(), std::string(tolvan::kTrayToolProgram)); }));
}

TEST(Processes, TerminateEndsAProcessThatIsNotOurChild)
{
    StartedProgram program(platform::startProgram(std::string(kHelper) + " sleep"));
    ASSERT_NE(program.pid(), 0);
    EXPECT_TRUE(platform::isProcessRunning(program.pid()));
    EXPECT_FALSE(platform::waitForProcessEnd(program.pid(), 200));

    const pid_t pid = program.pid();
    EXPECT_TRUE(program.end());
    EXPECT_FALSE(platform::isProcessRunning(pid));
}

TEST(Processes, TerminateRefusesProcessGroups)
{
    // kill() with 0 signals the caller's process group, a negative id another
    // group, -1 every process we may signal. Tried in a child that leads a
    // group of its own, so a fault kills nothing but the child.
    pid_t child = ::fork();
    if (child == 0) {
        ::setpgid(0, 0);
        bool refused = !platform::terminateProcess(0) && !platform::terminateProcess(-::getpgrp());
        ::_exit(refused ? 0 : 1);
    }
    ASSERT_GT(child, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_FALSE(platform::isProcessRunning(0));
}

TEST(Processes, AnEndedChildCountsAsEndedAndIsReaped)
{
    pid_t child = ::fork();
    if (child == 0) {
        while (true)
            ::pause();
    }
    ASSERT_GT(child, 0);
    StartedProgram program(child);
    EXPECT_TRUE(platform::isProcessRunning(child));
    EXPECT_TRUE(program.end());
    EXPECT_EQ(::waitpid(child, nullptr, WNOHANG), -1) << "the zombie was not reaped";
}

} // namespace
