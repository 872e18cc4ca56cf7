#include "UpdateServer.h"

#include "DemoLog.h"
#include "UpdateConnection.h"

#include <QCommandLineOption>
#include <QHostAddress>
#include <QTcpSocket>

namespace {

const QString kService = "update";
const QCommandLineOption kFolderOption("update-folder", "Serve update.xml and the update files from <folder>.",
                                       "folder");
const QCommandLineOption kPortOption("update-port", "Port of the update server (default 40080, 0: any free port).",
                                     "port", QString::number(UpdateServer::kDefaultPort));

} // namespace

void UpdateServer::addOptions(QCommandLineParser& parser)
{
    parser.addOption(kFolderOption);
    parser.addOption(kPortOption);
}

bool UpdateServer::start(const QCommandLineParser& parser, DemoLog& log)
{
    if (!parser.isSet(kFolderOption))
        return true;
    m_folder = QDir(parser.value(kFolderOption));
    if (!m_folder.exists()) {
        log.write(kService, "no such folder: " + m_folder.path());
        return false;
    }
    bool portOk = false;
    const uint port = parser.value(kPortOption).toUInt(&portOk);
    if (!portOk || port > 65535) {
        log.write(kService, "not a port: " + parser.value(kPortOption));
        return false;
    }

    m_server = std::make_unique<QTcpServer>();
    if (!m_server->listen(QHostAddress::LocalHost, quint16(port))) {
        log.write(kService, "cannot listen on 127.0.0.1:" + QString::number(port) + ": " + m_server->errorString());
        return false;
    }
    const QString root = m_folder.canonicalPath();
    QObject::connect(m_server.get(), &QTcpServer::newConnection, m_server.get(), [this, root, &log] {
        while (QTcpSocket* socket = m_server->nextPendingConnection())
            new UpdateConnection(socket, root, log);  // owned by the socket
    });
    log.write(kService, QString("serving %1 at http://127.0.0.1:%2/").arg(root).arg(m_server->serverPort()));
    return true;
}
