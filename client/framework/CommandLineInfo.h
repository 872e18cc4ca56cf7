#pragma once
// What the command line asks the program to do. The application splits its
// command line into tokens, strips one leading '-' or '/' from each (marking
// it a switch) and hands every token to ParseParam in order.
//
// The framework itself knows no switches; a token that is not a switch names
// a document to open (the first one counts).

#include <string>

namespace framework {

class CommandLineInfo {
public:
    enum ShellCommand { FileNew, FileOpen };

    virtual ~CommandLineInfo() = default;
    // `param` is the token without its '-' or '/'; `flag` tells it was a
    // switch; `last` marks the last token.
    virtual void ParseParam(const char* param, bool flag, bool last);

    ShellCommand m_nShellCommand = FileNew;
    std::string m_strFileName;
};

} // namespace framework
