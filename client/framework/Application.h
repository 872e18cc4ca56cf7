#pragma once
// The application object: one per process. Main() runs the program: it makes
// the Qt application, calls InitInstance (false ends the program at once),
// runs the message loop until the main window is destroyed, and calls
// ExitInstance, whose result is the exit code.
//
// The Qt application gets none of the program's arguments: the command line
// belongs to the program (ParseCommandLine), and Qt's own options must not
// take tokens away from it.

#include "client/framework/Message.h"

#include <QPointer>
#include <memory>
#include <string>
#include <vector>

class QApplication;

namespace framework {

class CommandLineInfo;
class FrameWnd;
class SingleDocTemplate;

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The process's application object, or nothing.
    static Application* Get();

    int Main(int argc, char** argv);

    virtual bool InitInstance() { return true; }
    virtual int ExitInstance() { return 0; }
    // Sees every message that reaches a framework window through the
    // platform layer before the window does; true swallows the message.
    virtual bool PreTranslateMessage(MSG& msg) { return false; }

    // The message loop; returns when the main window is gone.
    int Run();

    // Hands the arguments after the program name to info.ParseParam.
    void ParseCommandLine(CommandLineInfo& info);
    // Opens the document the command line asks for; false when that fails.
    bool ProcessShellCommand(CommandLineInfo& info);
    void AddDocTemplate(std::unique_ptr<SingleDocTemplate> docTemplate);
    SingleDocTemplate* GetDocTemplate() const { return m_docTemplate.get(); }

    // The arguments the program was started with; [0] is the program.
    std::vector<std::string> m_arguments;
    FrameWnd* m_pMainWnd = nullptr;
    int m_nCmdShow = platform::SW_SHOWNORMAL;

private:
    void InstallMouseActivation();
    void DeleteRemainingMainWindow();

    std::unique_ptr<QApplication> m_qtApp;
    int m_qtArgc = 1;
    std::vector<char*> m_qtArgv;
    std::unique_ptr<SingleDocTemplate> m_docTemplate;
    std::unique_ptr<QObject> m_mouseActivation;
};

} // namespace framework
