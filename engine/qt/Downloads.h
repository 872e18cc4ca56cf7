#pragma once
// Downloads: the client's request handler is asked for a download handler;
// with one, Chromium writes the file into a private folder and its bytes are
// handed to the handler in order as they arrive (ReceivedData), then
// Complete. The private file is removed afterwards.

#include <QObject>
#include <QString>

class QWebEngineDownloadRequest;
class QWebEngineProfile;

namespace engine {

class DownloadManager : public QObject {
public:
    // Downloads go to `<cachePath>/EngineDownloads`, or to a folder in the
    // system's temporary folder when there is no cache path.
    DownloadManager(QWebEngineProfile* profile, const QString& cachePath);
    ~DownloadManager() override;

private:
    void handleRequest(QWebEngineDownloadRequest* request);

    QString m_folder;
};

} // namespace engine
