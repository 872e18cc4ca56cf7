#pragma once
// The client's command line: values by position. Every token counts, switches
// and engine switches alike; the text after the token's '-' or '/' is the
// value:
//
//   position 0   start address (instead of config.ini's)
//   position 1   main-window title (instead of config.ini's)
//   position 2   reply code for the shop-binding answer: exactly "0" ... "10"
//   later        ignored
//
// The tray tool starts the client as "TolvanClient -<address>".

#include "client/framework/CommandLineInfo.h"

class CBrowserApp;

class CMyCommandLineInfo : public framework::CommandLineInfo {
public:
    explicit CMyCommandLineInfo(CBrowserApp& app) : m_app(app) {}

    void ParseParam(const char* param, bool flag, bool last) override;

    // Position of the next token; process-wide, as the program parses its
    // command line once.
    static int s_nParamIndex;

private:
    CBrowserApp& m_app;
};

// The reply code a text names: exactly one of "0" ... "10"; -1 for any other.
int ParseReplyCode(const char* text);
