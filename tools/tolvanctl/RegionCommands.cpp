// Commands on shared memories and processes.

#include "Commands.h"
#include "Json.h"

#include "platform/Processes.h"
#include "platform/SharedMemory.h"

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace tolvanctl {
namespace {

// The region's first four bytes as a signed 32-bit little-endian number and
// its first byte as a signed 8-bit number.
void printValues(const platform::SharedMemory& region)
{
    std::int32_t word = 0;
    std::memcpy(&word, region.data(), std::min<std::size_t>(sizeof word, region.size()));
    std::int8_t byte = 0;
    std::memcpy(&byte, region.data(), 1);
    JsonLine().add("i32", std::int64_t(word)).add("i8", std::int64_t(byte)).print();
}

} // namespace

int readRegion(const std::vector<std::string>& words)
{
    if (words.size() != 1)
        return failure(kBadUsage, "usage: tolvanctl shm-read NAME");
    platform::SharedMemory region = platform::SharedMemory::openExisting(words[0]);
    if (!region.isValid())
        return failure(kNotFound, "no shared region named '" + words[0] + "'");
    printValues(region);
    return kDone;
}

int writeRegion(const std::vector<std::string>& words)
{
    auto arguments = Arguments::parse(words, {"i32", "i8"}, {});
    const bool oneValue = arguments && (arguments->has("i32") != arguments->has("i8"));
    if (!oneValue || arguments->positional().size() != 1 || !arguments->numberIsValid("i32") ||
        !arguments->numberIsValid("i8"))
        return failure(kBadUsage, "usage: tolvanctl shm-write NAME --i32 N | --i8 N");
    // A region nobody else holds vanishes when tolvanctl ends, as a mapping
    // does when its last handle closes; shm-hold keeps one alive.
    platform::SharedMemory region = platform::SharedMemory::createOrOpen(arguments->positional()[0]);
    if (!region.isValid())
        return failure(kNotFound, "cannot open the shared region '" + arguments->positional()[0] + "'");
    if (arguments->has("i32")) {
        std::int32_t word = std::int32_t(*arguments->number("i32"));
        std::memcpy(region.data(), &word, sizeof word);
    } else {
        std::int8_t byte = std::int8_t(*arguments->number("i8"));
        std::memcpy(region.data(), &byte, 1);
    }
    printValues(region);
    return kDone;
}

int holdRegion(const std::vector<std::string>& words)
{
    if (words.size() != 1)
        return failure(kBadUsage, "usage: tolvanctl shm-hold NAME");
    platform::SharedMemory region = platform::SharedMemory::createOrOpen(words[0]);
    if (!region.isValid())
        return failure(kNotFound, "cannot open the shared region '" + words[0] + "'");
    JsonLine().add("held", true).add("existed", region.alreadyExisted()).print();
    std::signal(SIGTERM, [](int) { _exit(0); });
    while (true)
        pause();
}

int findProcess(const std::vector<std::string>& words)
{
    if (words.size() != 1)
        return failure(kBadUsage, "usage: tolvanctl procs TEXT");
    JsonLine().add("pid", std::int64_t(platform::findProcessByName(words[0]))).print();
    return kDone;
}

} // namespace tolvanctl
