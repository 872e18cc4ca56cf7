#pragma once
// The address another program sends with WM_COPYDATA: the first cbData bytes
// of lpData, ending earlier at a NUL byte.

#include "platform/WindowMessages.h"

#include <string>

std::string CopyDataText(const platform::COPYDATASTRUCT* data);
