#include "engine/qt/Downloads.h"

#include "engine/cef/CefClient.h"
#include "engine/cef/CefDownload.h"
#include "engine/qt/Browser.h"
#include "engine/qt/BrowserWidgets.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

namespace engine {

namespace {

CefString cefString(const QString& text) { return CefString(text.toStdU16String()); }

// Hands one download's bytes to its handler as Chromium writes them.
class DownloadJob : public QObject {
public:
    DownloadJob(QWebEngineDownloadRequest* request, CefRefPtr<CefDownloadHandler> handler,
                QString path, QObject* parent)
        : QObject(parent), m_request(request), m_handler(handler), m_path(std::move(path))
    {
        connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, this, [this] { pump(); });
        connect(request, &QWebEngineDownloadRequest::stateChanged, this,
                [this](QWebEngineDownloadRequest::DownloadState state) { stateChanged(state); });
    }

    ~DownloadJob() override { removeFile(); }

private:
    void pump()
    {
        if (!m_handler)
            return;
        if (!m_file.isOpen() && !openFile())
            return;
        constexpr qint64 kPiece = 256 * 1024;
        while (m_handler) {
            const QByteArray piece = m_file.read(kPiece);
            if (piece.isEmpty())
                return;
            if (!m_handler->ReceivedData(const_cast<char*>(piece.constData()), int(piece.size()))) {
                m_handler = nullptr;  // the handler cancelled: released without Complete
                if (m_request)
                    m_request->cancel();
                return;
            }
        }
    }

    bool openFile()
    {
        // Chromium may write under a temporary name first; an open file
        // stays readable when it is renamed.
        for (const QString& name : {m_path, m_path + ".crdownload"}) {
            m_file.setFileName(name);
            if (m_file.open(QIODevice::ReadOnly))
                return true;
        }
        return false;
    }

    void stateChanged(QWebEngineDownloadRequest::DownloadState state)
    {
        switch (state) {
        case QWebEngineDownloadRequest::DownloadCompleted:
            pump();
            if (m_handler)
                std::exchange(m_handler, nullptr)->Complete();
            finish();
            break;
        case QWebEngineDownloadRequest::DownloadCancelled:
        case QWebEngineDownloadRequest::DownloadInterrupted:
            m_handler = nullptr;
            finish();
            break;
        default:
            break;
        }
    }

    void finish()
    {
        if (m_request)
            m_request->disconnect(this);
        deleteLater();
    }

    void removeFile()
    {
        m_file.close();
        QFile::remove(m_path);
        QFile::remove(m_path + ".crdownload");
    }

    QPointer<QWebEngineDownloadRequest> m_request;
    CefRefPtr<CefDownloadHandler> m_handler;
    QString m_path;
    QFile m_file;
};

} // namespace

DownloadManager::DownloadManager(QWebEngineProfile* profile, const QString& cachePath)
{
    m_folder = cachePath.isEmpty()
                   ? QDir::tempPath() + "/tolvan-engine-downloads-"
                         + QString::number(QCoreApplication::applicationPid())
                   : cachePath + "/EngineDownloads";
    QDir(m_folder).removeRecursively();  // what an earlier run left
    QDir().mkpath(m_folder);
    connect(profile, &QWebEngineProfile::downloadRequested, this,
            [this](QWebEngineDownloadRequest* request) { handleRequest(request); });
}

DownloadManager::~DownloadManager()
{
    qDeleteAll(children());  // the jobs, which remove their files
    QDir(m_folder).removeRecursively();
}

void DownloadManager::handleRequest(QWebEngineDownloadRequest* request)
{
    QPointer<QWebEngineDownloadRequest> guarded = request;
    auto* page = dynamic_cast<BrowserPage*>(request->page());
    CefRefPtr<BrowserImpl> browser = page ? page->browser() : nullptr;
    if (!browser || browser->isClosed() || request->isSavePageDownload()) {
        request->cancel();
        return;
    }
    CefRefPtr<CefDownloadHandler> handler;
    CefRefPtr<CefRequestHandler> requestHandler = browser->client()->GetRequestHandler();
    const bool wanted = requestHandler
                        && requestHandler->GetDownloadHandler(
                            browser.get(), cefString(request->mimeType()),
                            cefString(request->suggestedFileName()), request->totalBytes(), handler);
    if (!guarded)
        return;
    if (!wanted || !handler) {
        request->cancel();
        return;
    }
    const QString name = "download-" + QString::number(request->id());
    QFile::remove(m_folder + "/" + name);
    request->setDownloadDirectory(m_folder);
    request->setDownloadFileName(name);
    new DownloadJob(request, handler, m_folder + "/" + name, this);
    request->accept();
}

} // namespace engine
