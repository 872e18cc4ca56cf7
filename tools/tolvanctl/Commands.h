#pragma once
// The commands of tolvanctl. Each returns the exit status: 0 done, 1 the
// window or region was not found (or did not answer), 2 bad usage.

#include "Arguments.h"

namespace tolvanctl {

inline constexpr int kDone = 0;
inline constexpr int kNotFound = 1;
inline constexpr int kBadUsage = 2;

int failure(int status, const std::string& message);  // prints the message on stderr

int listWindows(const std::vector<std::string>& words);
int sendCopyData(const std::vector<std::string>& words);
int closeWindow(const std::vector<std::string>& words);
int showWindow(const std::vector<std::string>& words);
int pressButton(const std::vector<std::string>& words);
int listen(int argc, char** argv, const std::vector<std::string>& words);
int readRegion(const std::vector<std::string>& words);
int writeRegion(const std::vector<std::string>& words);
int holdRegion(const std::vector<std::string>& words);
int findProcess(const std::vector<std::string>& words);

} // namespace tolvanctl
