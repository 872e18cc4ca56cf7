// A small program that the platform tests start as another process:
//
//   print-args ARG...      one line: the arguments as a JSON array
//   describe               one line: a JSON object with the program's path,
//                          current directory, TOLVAN_TEST_MARK, session id and
//                          open descriptors
//   hold-mutex NAME        creates the named mutex, prints "held existed=0|1",
//                          then waits until killed
//   hold-shm NAME          creates or opens the shared region, prints
//                          "held existed=0|1 value=V", then waits
//   write-shm NAME N       creates or opens the region, writes the client
//                          state N, prints "written existed=0|1", then waits
//   read-shm NAME          opens an existing region only; prints "value=V" or
//                          "missing" and ends
//   start COMMANDLINE      starts a program; prints "started PID" or "failed"
//                          and ends
//   sleep                  waits until killed

#include "platform/NamedMutex.h"
#include "platform/Paths.h"
#include "platform/ProgramStart.h"
#include "platform/SharedMemory.h"
#include "shared/SharedRegions.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>

namespace {

[[noreturn]] void waitUntilKilled()
{
    while (true)
        ::pause();
}

void printJson(const QJsonDocument& document)
{
    std::cout << document.toJson(QJsonDocument::Compact).toStdString() << std::endl;
}

int printArgs(int argc, char** argv)
{
    QJsonArray arguments;
    for (int i = 2; i < argc; ++i)
        arguments.append(QString::fromUtf8(argv[i]));
    printJson(QJsonDocument(arguments));
    return 0;
}

int describe()
{
    QJsonArray descriptors;
    // Listing the folder opens one more descriptor; it is gone by the time
    // the list is returned, so drop the entries that no longer resolve.
    const QStringList entries = QDir("/proc/self/fd").entryList(QDir::Files | QDir::System, QDir::Name);
    for (const QString& entry : entries) {
        if (QFile::exists("/proc/self/fd/" + entry))
            descriptors.append(entry.toInt());
    }
    const char* mark = std::getenv("TOLVAN_TEST_MARK");
    QJsonObject description{
        {"path", QString::fromStdString(platform::programPath())},
        {"cwd", QString::fromStdString(platform::currentDirectory())},
        {"mark", mark ? QString::fromUtf8(mark) : QString()},
        {"sessionLeader", ::getsid(0) == ::getpid()},
        {"descriptors", descriptors},
    };
    printJson(QJsonDocument(description));
    return 0;
}

[[noreturn]] void holdMutex(const std::string& name)
{
    platform::NamedMutex mutex = platform::NamedMutex::create(name);
    std::cout << (mutex.isValid() ? "held existed=" : "failed existed=") << mutex.alreadyExisted()
              << std::endl;
    waitUntilKilled();
}

[[noreturn]] void holdRegion(const std::string& name, const char* value)
{
    platform::SharedMemory region = platform::SharedMemory::createOrOpen(name, tolvan::kSharedRegionSize);
    if (!region.isValid()) {
        std::cout << "failed" << std::endl;
        std::exit(1);
    }
    if (value) {
        tolvan::writeClientState(region.data(), std::atoi(value));
        std::cout << "written existed=" << region.alreadyExisted() << std::endl;
    } else {
        std::cout << "held existed=" << region.alreadyExisted()
                  << " value=" << tolvan::readClientState(region.data()) << std::endl;
    }
    waitUntilKilled();
}

int readRegion(const std::string& name)
{
    platform::SharedMemory region = platform::SharedMemory::openExisting(name);
    if (region.isValid())
        std::cout << "value=" << tolvan::readClientState(region.data()) << std::endl;
    else
        std::cout << "missing" << std::endl;
    return 0;
}

int start(const std::string& commandLine)
{
    if (auto pid = platform::startProgram(commandLine))
        std::cout << "started " << *pid << std::endl;
    else
        std::cout << "failed" << std::endl;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    const std::string first = argc > 2 ? argv[2] : "";
    if (command == "print-args")
        return printArgs(argc, argv);
    if (command == "describe")
        return describe();
    if (command == "hold-mutex" && argc == 3)
        holdMutex(first);
    if (command == "hold-shm" && argc == 3)
        holdRegion(first, nullptr);
    if (command == "write-shm" && argc == 4)
        holdRegion(first, argv[3]);
    if (command == "read-shm" && argc == 3)
        return readRegion(first);
    if (command == "start" && argc == 3)
        return start(first);
    if (command == "sleep")
        waitUntilKilled();
    std::cerr << "platform_helper: unknown command" << std::endl;
    return 2;
}
