#include "client/framework/Application.h"

#include "client/framework/CommandLineInfo.h"
#include "client/framework/DocTemplate.h"
#include "client/framework/FrameWnd.h"
#include "client/framework/View.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

namespace framework {
namespace {

Application* g_application = nullptr;

// A mouse press anywhere inside a view activates the views around the
// pressed widget, outermost first, so the innermost view ends up active.
// A press nobody accepts travels on to the parents; only the widget that got
// it first (the one without a child under the pointer) counts.
class MouseActivationFilter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::MouseButtonPress || !watched->isWidgetType())
            return false;
        auto* pressed = static_cast<QWidget*>(watched);
        if (pressed->childAt(static_cast<QMouseEvent*>(event)->position().toPoint()))
            return false;
        std::vector<View*> views;
        for (QWidget* widget = pressed; widget; widget = widget->parentWidget()) {
            if (auto* view = dynamic_cast<View*>(widget))
                views.push_back(view);
        }
        for (auto view = views.rbegin(); view != views.rend(); ++view)
            (*view)->OnMouseActivate();
        return false;
    }
};

} // namespace

Application::Application()
{
    g_application = this;
    if (qApp)
        InstallMouseActivation();
}

Application::~Application()
{
    if (m_mouseActivation && qApp)
        qApp->removeEventFilter(m_mouseActivation.get());
    m_mouseActivation.reset();
    m_docTemplate.reset();
    if (g_application == this)
        g_application = nullptr;
}

Application* Application::Get() { return g_application; }

void Application::InstallMouseActivation()
{
    if (m_mouseActivation)
        return;
    m_mouseActivation = std::make_unique<MouseActivationFilter>();
    qApp->installEventFilter(m_mouseActivation.get());
}

int Application::Main(int argc, char** argv)
{
    m_arguments.assign(argv, argv + argc);
    if (!qApp) {
        // The browser engine draws with OpenGL contexts it shares with the
        // windows; Qt needs to know before the application exists.
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        m_qtArgv = {argv[0], nullptr};
        m_qtArgc = 1;
        m_qtApp = std::make_unique<QApplication>(m_qtArgc, m_qtArgv.data());
    }
    // Hidden windows (the main window hides on close) must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    InstallMouseActivation();

    int exitCode = 0;
    if (InitInstance())
        Run();
    DeleteRemainingMainWindow();
    exitCode = ExitInstance();
    return exitCode;
}

int Application::Run() { return QApplication::exec(); }

void Application::DeleteRemainingMainWindow()
{
    delete m_pMainWnd;
    m_pMainWnd = nullptr;
    // Windows destroyed during the last messages are deleted now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void Application::ParseCommandLine(CommandLineInfo& info)
{
    for (std::size_t i = 1; i < m_arguments.size(); ++i) {
        const std::string& token = m_arguments[i];
        const bool flag = !token.empty() && (token[0] == '-' || token[0] == '/');
        const std::string param = flag ? token.substr(1) : token;
        info.ParseParam(param.c_str(), flag, i + 1 == m_arguments.size());
    }
}

bool Application::ProcessShellCommand(CommandLineInfo& info)
{
    if (!m_docTemplate)
        return false;
    const std::string path = info.m_nShellCommand == CommandLineInfo::FileOpen ? info.m_strFileName : std::string();
    return m_docTemplate->OpenDocumentFile(path) != nullptr;
}

void Application::AddDocTemplate(std::unique_ptr<SingleDocTemplate> docTemplate)
{
    m_docTemplate = std::move(docTemplate);
}

} // namespace framework
