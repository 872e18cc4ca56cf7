#pragma once
// The demo update server: serves one folder (update.xml and the files it
// lists) over HTTP/1.1 on 127.0.0.1, one request per connection, and logs
// every request. Started by --update-folder; --update-port picks the port
// (0: any free port, shown in the start line).

#include "DemoService.h"

#include <QDir>
#include <QTcpServer>
#include <memory>

class UpdateServer : public DemoService {
public:
    static constexpr quint16 kDefaultPort = 40080;

    void addOptions(QCommandLineParser& parser) override;
    bool start(const QCommandLineParser& parser, DemoLog& log) override;

private:
    std::unique_ptr<QTcpServer> m_server;
    QDir m_folder;
};
