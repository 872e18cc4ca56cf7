#pragma once
// A command line with switches and arguments, Chromium style.
//
// A token that starts with "--" or "-" is a switch: its name runs to the
// first '=', the value follows it (no '=': no value). A lone "--" ends the
// switches; every later token is an argument. Other tokens are arguments.
// Switch names compare exactly. Setting a switch that is there already
// replaces its value.

#include "engine/cef/CefBase.h"
#include "engine/cef/CefString.h"

#include <vector>

class CefCommandLine : public virtual CefBase {
public:
    static CefRefPtr<CefCommandLine> CreateCommandLine();

    // From a process's arguments; argv[0] is the program.
    virtual void InitFromArgv(int argc, const char* const* argv) = 0;
    // From one text, split like a shell splits words (blanks separate,
    // double quotes group); the first word is the program.
    virtual void InitFromString(const CefString& commandLine) = 0;
    virtual void Reset() = 0;

    virtual CefString GetProgram() = 0;
    virtual void SetProgram(const CefString& program) = 0;

    virtual bool HasSwitches() = 0;
    virtual bool HasSwitch(const CefString& name) = 0;
    // Empty when absent or without value.
    virtual CefString GetSwitchValue(const CefString& name) = 0;
    virtual void AppendSwitch(const CefString& name) = 0;
    virtual void AppendSwitchWithValue(const CefString& name, const CefString& value) = 0;

    virtual bool HasArguments() = 0;
    virtual void GetArguments(std::vector<CefString>& arguments) = 0;
    virtual void AppendArgument(const CefString& argument) = 0;

    // The whole line: program, switches as --name or --name=value, then the
    // arguments.
    virtual CefString GetCommandLineString() = 0;
};
