#pragma once

#include <string>

namespace platform {

// The machine's host name; empty text when it cannot be read.
std::string hostName();

} // namespace platform
