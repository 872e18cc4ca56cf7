#include "client/app/MyCommandLineInfo.h"

#include "client/app/BrowserApp.h"

#include <string>

int CMyCommandLineInfo::s_nParamIndex = 0;

int ParseReplyCode(const char* text)
{
    static const char* const kCodes[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
    for (int code = 0; code <= 10; ++code) {
        if (std::string(text) == kCodes[code])
            return code;
    }
    return -1;
}

void CMyCommandLineInfo::ParseParam(const char* param, bool flag, bool last)
{
    framework::CommandLineInfo::ParseParam(param, flag, last);
    switch (s_nParamIndex) {
    case 0:
        m_app.m_strStartUrl = param;
        break;
    case 1:
        m_app.m_strTitle = param;
        break;
    case 2:
        m_app.m_strReplyCode = param;
        if (const int code = ParseReplyCode(param); code >= 0)
            m_app.m_nReplyCode = code;
        break;
    default:
        break;
    }
    ++s_nParamIndex;
}
