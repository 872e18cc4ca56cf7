// fetchwell-download-bench URL FILE: downloads URL into FILE with Fetchwell's
// DownloadFile and prints "<seconds> <bytes>".
#include "updater/DownloadFile.h"

#include <chrono>
#include <cstdio>
#include <curl/curl.h>
#include <filesystem>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: fetchwell-download-bench URL FILE\n");
        return 2;
    }
    curl_global_init(CURL_GLOBAL_DEFAULT);
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    const bool ok = DownloadFile(argv[1], argv[2], &error);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    curl_global_cleanup();
    if (!ok) {
        std::fprintf(stderr, "fetchwell-download-bench: %s\n", error.c_str());
        return 1;
    }
    std::printf("%.3f %ju\n", elapsed.count(), std::uintmax_t(std::filesystem::file_size(argv[2])));
    return 0;
}
