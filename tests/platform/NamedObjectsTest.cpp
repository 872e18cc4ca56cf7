// Named mutexes, single-instance guards and shared regions between real
// processes, each test in a runtime folder of its own.

#include "ProcessTestSupport.h"
#include "platform/NamedMutex.h"
#include "platform/RuntimeFolder.h"
#include "platform/SharedMemory.h"
#include "shared/ProgramNames.h"
#include "shared/SharedRegions.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace platformtest;
using platform::NamedMutex;
using platform::SharedMemory;
using testsupport::RunningProgram;

namespace {

class NamedObjects : public ::testing::Test {
protected:
    // A helper that holds an object; its first line says how it found it.
    static std::unique_ptr<RunningProgram> holder(const QStringList& arguments, std::string* firstLine)
    {
        auto program = std::make_unique<RunningProgram>(helperPath(), arguments);
        *firstLine = program->readLine().value_or("(no line)");
        return program;
    }

    static QString q(const std::string& text) { return QString::fromStdString(text); }

    static std::string readRegion(const std::string& name)
    {
        return testsupport::runProgram(helperPath(), {"read-shm", QString::fromStdString(name)}).out;
    }

    static void killAndWait(RunningProgram& program)
    {
        program.kill();
        ASSERT_TRUE(program.waitForExit());
    }

    testsupport::ScopedRuntimeFolder m_runtime;
};

TEST_F(NamedObjects, MutexKnowsWhetherAnotherProcessHoldsIt)
{
    const std::string name(tolvan::kClientMutexName);
    std::string line;
    auto first = holder({"hold-mutex", q(name)}, &line);
    EXPECT_EQ(line, "held existed=0");
    auto second = holder({"hold-mutex", q(name)}, &line);
    EXPECT_EQ(line, "held existed=1");
    EXPECT_TRUE(NamedMutex::create(name).alreadyExisted());

    // The mutex lives while any holder lives, also when its creator is gone.
    killAndWait(*first);
    EXPECT_TRUE(NamedMutex::create(name).alreadyExisted());
    killAndWait(*second);
    NamedMutex fresh = NamedMutex::create(name);
    EXPECT_TRUE(fresh.isValid());
    EXPECT_FALSE(fresh.alreadyExisted());
}

TEST_F(NamedObjects, KilledGuardHolderFreesTheGuard)
{
    const std::string name(tolvan::kTrayToolGuardName);
    std::string line;
    auto holding = holder({"hold-mutex", q(name)}, &line);
    ASSERT_EQ(line, "held existed=0");
    EXPECT_FALSE(platform::SingleInstanceGuard::tryAcquire(name, 300).acquired());

    // As the client does with the old tray tool: kill, then start at once.
    holding->kill();
    auto guard = platform::SingleInstanceGuard::tryAcquire(name, 10000);
    EXPECT_TRUE(guard.acquired());
    auto next = holder({"hold-mutex", q(name)}, &line);
    EXPECT_EQ(line, "held existed=1");
}

TEST_F(NamedObjects, RegionWrittenByOneProcessIsReadByAnother)
{
    const std::string name(tolvan::kClientStateRegion);
    std::string line;
    auto writer = holder({"write-shm", q(name), "3"}, &line);
    ASSERT_EQ(line, "written existed=0");
    EXPECT_EQ(readRegion(name), "value=3\n");
    {
        SharedMemory region = SharedMemory::openExisting(name);
        ASSERT_TRUE(region.isValid());
        EXPECT_EQ(tolvan::readClientState(region.data()), 3);
        EXPECT_EQ(region.size(), tolvan::kSharedRegionSize);
    }

    // Killed with the last holder: the next creator starts from zeros, and
    // once that one has ended too, there is nothing left to open.
    killAndWait(*writer);
    auto next = holder({"hold-shm", q(name)}, &line);
    EXPECT_EQ(line, "held existed=0 value=0");
    killAndWait(*next);
    EXPECT_EQ(readRegion(name), "missing\n");
}

TEST_F(NamedObjects, OpenExistingNeverCreates)
{
    const std::string name(tolvan::kSoundRegion);
    EXPECT_FALSE(SharedMemory::openExisting(name).isValid());
    EXPECT_EQ(readRegion(name), "missing\n");
    EXPECT_FALSE(SharedMemory::openExisting(name).isValid());

    std::string line;
    auto creator = holder({"hold-shm", q(name)}, &line);
    EXPECT_EQ(line, "held existed=0 value=0");
}

TEST_F(NamedObjects, RuntimeFoldersKeepObjectsApart)
{
    const std::string mutexName = "guard", regionName = "region";
    std::string line;
    auto mutexHolder = holder({"hold-mutex", q(mutexName)}, &line);
    ASSERT_EQ(line, "held existed=0");
    auto regionHolder = holder({"write-shm", q(regionName), "1"}, &line);
    ASSERT_EQ(line, "written existed=0");
    {
        testsupport::ScopedRuntimeFolder other;
        EXPECT_FALSE(NamedMutex::create(mutexName).alreadyExisted());
        EXPECT_FALSE(SharedMemory::openExisting(regionName).isValid());
        EXPECT_EQ(readRegion(regionName), "missing\n");
    }
    EXPECT_TRUE(NamedMutex::create(mutexName).alreadyExisted());
    EXPECT_EQ(readRegion(regionName), "value=1\n");
}

// Another user could make the /tmp fallback folder first; objects must never
// live in a folder that is not ours alone.
TEST(RuntimeFolder, AFolderOthersControlIsRefused)
{
    testsupport::TempFolder parent;
    const std::string open = parent.file("open"), link = parent.file("link"), foreign = parent.file("foreign");
    ASSERT_EQ(::mkdir(open.c_str(), 0700), 0);
    ::chmod(open.c_str(), 0777);
    ASSERT_EQ(::symlink(parent.path().c_str(), link.c_str()), 0);
    ASSERT_EQ(::mkdir(foreign.c_str(), 0700), 0);
    std::vector<std::string> refused{open, link};
    if (::geteuid() == 0 && ::chown(foreign.c_str(), 65534, 65534) == 0)
        refused.push_back(foreign);

    for (const std::string& folder : refused) {
        ScopedEnvironment runtime("TOLVAN_RUNTIME_DIR", folder);
        EXPECT_EQ(platform::runtimeFolder(), "") << folder;
        EXPECT_FALSE(NamedMutex::create("guard").isValid()) << folder;
        EXPECT_FALSE(SharedMemory::createOrOpen("region").isValid()) << folder;
    }
    ScopedEnvironment runtime("TOLVAN_RUNTIME_DIR", parent.file("fresh"));
    EXPECT_EQ(platform::runtimeFolder(), parent.file("fresh"));
    EXPECT_TRUE(NamedMutex::create("guard").isValid());
}

} // namespace
