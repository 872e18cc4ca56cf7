#pragma once
// The single-document template: how the program makes its one document, its
// frame and the frame's view. Opening a document (a new, empty one or a file)
// creates all three; the first frame becomes the program's main window.

#include "client/framework/Document.h"
#include "client/framework/FrameWnd.h"

#include <functional>
#include <memory>
#include <string>

namespace framework {

class Document;
class View;

class SingleDocTemplate {
public:
    using DocumentFactory = std::function<std::unique_ptr<Document>()>;
    // A new frame or view; it deletes itself when its window is destroyed.
    using FrameFactory = std::function<FrameWnd*()>;
    using ViewFactory = std::function<View*()>;

    // `strings`: the template's texts, separated by '\n'; the first is the
    // frame's title until the program gives it another.
    SingleDocTemplate(std::string strings, DocumentFactory newDocument, FrameFactory newFrame,
                      ViewFactory newView);

    // A new empty document (empty path) or the file at `path`, in a new frame.
    // Nothing when the file cannot be opened (the user is told) or a window
    // cannot be created.
    FrameWnd* OpenDocumentFile(const std::string& path, bool makeVisible = true);

    Document* GetDocument() const { return m_document.get(); }
    std::string GetWindowTitle() const;

private:
    std::string m_strings;
    DocumentFactory m_newDocument;
    FrameFactory m_newFrame;
    ViewFactory m_newView;
    std::unique_ptr<Document> m_document;
};

} // namespace framework
