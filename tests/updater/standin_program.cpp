// Stands in for TolvanClient and MerivoSiteSystem in Fetchwell's tests. Copied
// under those names into a temporary installation folder, it appends one line
// to "started.txt" beside itself, "<name>\t<pid>\t<arguments>", and then
// sleeps until it is killed.
#include <climits>
#include <fcntl.h>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return 1;
    const std::string exe(path, std::size_t(length));
    const std::string folder = exe.substr(0, exe.rfind('/'));

    std::string line = exe.substr(exe.rfind('/') + 1) + "\t" + std::to_string(::getpid()) + "\t";
    for (int i = 1; i < argc; ++i)
        line += (i > 1 ? " " : "") + std::string(argv[i]);
    line += "\n";
    const int record = ::open((folder + "/started.txt").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (record < 0 || ::write(record, line.data(), line.size()) != ssize_t(line.size()))
        return 1;
    ::close(record);
    for (;;)
        ::pause();
}
