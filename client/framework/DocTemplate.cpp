#include "client/framework/DocTemplate.h"

#include "client/framework/Application.h"
#include "client/framework/Document.h"
#include "platform/MessageBox.h"

namespace framework {

// The framework's own message when a document cannot be opened.
constexpr const char* kFailedToOpenDocument = "打开文档失败。";

SingleDocTemplate::SingleDocTemplate(std::string strings, DocumentFactory newDocument, FrameFactory newFrame,
                                     ViewFactory newView)
    : m_strings(std::move(strings)), m_newDocument(std::move(newDocument)), m_newFrame(std::move(newFrame)),
      m_newView(std::move(newView))
{
}

std::string SingleDocTemplate::GetWindowTitle() const { return m_strings.substr(0, m_strings.find('\n')); }

FrameWnd* SingleDocTemplate::OpenDocumentFile(const std::string& path, bool makeVisible)
{
    m_document = m_newDocument();
    if (!m_document)
        return nullptr;
    FrameWnd* frame = m_newFrame();
    if (!frame)
        return nullptr;
    CreateContext context{m_newView, m_document.get()};
    if (!frame->LoadFrame(GetWindowTitle(), context))
        return nullptr;  // the frame has destroyed itself

    const bool opened = path.empty() ? m_document->OnNewDocument() : m_document->OnOpenDocument(path);
    if (!opened) {
        if (!path.empty())
            platform::messageBox(kFailedToOpenDocument, GetWindowTitle(), platform::MB_OK | platform::MB_ICONWARNING);
        frame->DestroyWindow();
        return nullptr;
    }

    Application* app = Application::Get();
    if (app && !app->m_pMainWnd)
        app->m_pMainWnd = frame;
    frame->InitialUpdateFrame(m_document.get(), makeVisible);
    return frame;
}

} // namespace framework
