#include "client/framework/CommandLineInfo.h"

namespace framework {

void CommandLineInfo::ParseParam(const char* param, bool flag, bool)
{
    if (!flag && m_strFileName.empty()) {
        m_strFileName = param;
        m_nShellCommand = FileOpen;
    }
}

} // namespace framework
