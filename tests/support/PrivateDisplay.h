#pragma once
// An X server of a test's own (Xvfb). Xvfb chooses a free display number
// itself (-displayfd), so tests running side by side never share a display.

#include "TestSupport.h"

#include <memory>
#include <string>

namespace testsupport {

class PrivateDisplay {
public:
    explicit PrivateDisplay(int width = 1366, int height = 768);

    // ":N" once the server is up; empty when it is not (see failure()).
    const std::string& display() const { return m_display; }
    const std::string& failure() const { return m_failure; }

private:
    std::unique_ptr<RunningProgram> m_server;
    std::string m_display;
    std::string m_failure;
};

} // namespace testsupport
