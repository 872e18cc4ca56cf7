#include "SiteService.h"

#include "DemoLog.h"
#include "shared/SiteAddresses.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTcpSocket>

namespace {

const QString kService = QStringLiteral("site");
const QCommandLineOption kPortOption("site-port",
                                     "Port of the demo site system (default 40088, 0: any free port).", "port",
                                     QString::number(tolvan::kDemoSitePort));
const QCommandLineOption kPagesOption("site-pages", "Serve the files of <folder> before the built-in pages.",
                                      "folder");

// The sign-on cookie lives eight hours, so the browser keeps it on disk.
constexpr int kSignOnSeconds = 8 * 3600;

QString path(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

QByteArray contentTypeFor(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == "html" || suffix == "htm")
        return "text/html; charset=utf-8";
    if (suffix == "css")
        return "text/css; charset=utf-8";
    if (suffix == "js")
        return "application/javascript; charset=utf-8";
    if (suffix == "png")
        return "image/png";
    if (suffix == "json")
        return "application/json; charset=utf-8";
    return "text/plain; charset=utf-8";
}

} // namespace

void SiteService::addOptions(QCommandLineParser& parser)
{
    parser.addOption(kPortOption);
    parser.addOption(kPagesOption);
}

bool SiteService::start(const QCommandLineParser& parser, DemoLog& log)
{
    m_log = &log;
    m_pagesFolder = parser.value(kPagesOption);
    bool portOk = false;
    const uint port = parser.value(kPortOption).toUInt(&portOk);
    if (!portOk || port > 65535) {
        log.write(kService, "not a port: " + parser.value(kPortOption));
        return false;
    }
    if (!m_server.listen(QHostAddress::LocalHost, quint16(port))) {
        log.write(kService, QString("cannot listen on 127.0.0.1:%1: %2").arg(port).arg(m_server.errorString()));
        // Without --site-port the other services go on without the site.
        return !parser.isSet(kPortOption);
    }
    QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection())
            new SiteConnection(socket, [this](const SiteRequest& request) {
                SiteResponse response = handle(request);
                m_log->write(kService, QString("%1 %2 %3")
                                           .arg(QString::fromLatin1(request.method), request.path)
                                           .arg(response.status));
                return response;
            });
    });
    log.write(kService, QString("site system on http://127.0.0.1:%1/").arg(m_server.serverPort()));
    return true;
}

SiteResponse SiteService::handle(const SiteRequest& request)
{
    SiteResponse fromFolder;
    if (servePagesFolder(request.path, fromFolder))
        return fromFolder;

    if (request.path == path(tolvan::kLoginPath))
        return request.method == "POST" ? login(request) : page("login.html");
    if (request.path == path(tolvan::kLogoutPath))
        return logout(request);
    if (request.path == "/api/log")
        return pageLog(request);
    if (request.path.startsWith("/static/")) {
        SiteResponse asset = page(request.path.mid(8));
        asset.contentType = contentTypeFor(request.path);
        return asset;
    }

    const QMap<QString, QString> pages = {
        {path(tolvan::kHomePath), "index.html"},
        {path(tolvan::kTaskPath), "task.html"},
        {path(tolvan::kGrabPath), "grab.html"},
        {path(tolvan::kSuccGrabPath), "succ.html"},
        {"/settings", "settings.html"},
    };
    if (!pages.contains(request.path))
        return notFound();
    const Member* member = signedOnMember(request);
    if (!member)
        return SiteResponse::redirect(path(tolvan::kLoginPath));
    return page(pages.value(request.path), *member);
}

SiteResponse SiteService::login(const SiteRequest& request)
{
    const Member member{request.form.value("compId").trimmed(), request.form.value("username").trimmed()};
    if (member.compId.isEmpty() || member.username.isEmpty())
        return SiteResponse::redirect(path(tolvan::kLoginPath));
    const QString ticket = QString("TGT-%1-%2-demo")
                               .arg(m_nextTicket++)
                               .arg(QRandomGenerator::global()->generate64(), 16, 16, QChar('0'));
    m_signOns.insert(ticket, member);
    m_log->write(kService, QString("login %1;%2").arg(member.compId, member.username));
    SiteResponse response = SiteResponse::redirect(path(tolvan::kHomePath));
    response.headers.append(
        {QByteArray("Set-Cookie"), QString("CASTGC=%1; Path=/; Max-Age=%2; HttpOnly").arg(ticket).arg(kSignOnSeconds).toUtf8()});
    return response;
}

SiteResponse SiteService::logout(const SiteRequest& request)
{
    if (m_signOns.remove(request.cookie("CASTGC")) > 0)
        m_log->write(kService, "logout");
    SiteResponse response = page("loginout.html");
    response.headers.append({QByteArray("Set-Cookie"), QByteArray("CASTGC=; Path=/; Max-Age=0")});
    return response;
}

SiteResponse SiteService::pageLog(const SiteRequest& request)
{
    m_log->write(kService, "page: " + request.query.value("text"));
    SiteResponse response;
    response.status = 204;
    return response;
}

const SiteService::Member* SiteService::signedOnMember(const SiteRequest& request) const
{
    auto found = m_signOns.constFind(request.cookie("CASTGC"));
    return found == m_signOns.constEnd() ? nullptr : &found.value();
}

SiteResponse SiteService::page(const QString& name, const Member& member) const
{
    QFile file(":/site/" + name);
    if (!file.open(QIODevice::ReadOnly))
        return notFound();
    SiteResponse response;
    response.body = file.readAll();
    if (name.endsWith(".html")) {
        response.body.replace("{{compId}}", member.compId.toHtmlEscaped().toUtf8());
        response.body.replace("{{username}}", member.username.toHtmlEscaped().toUtf8());
    }
    return response;
}

SiteResponse SiteService::notFound() const
{
    SiteResponse response = page("404.html");
    response.status = 404;
    return response;
}

bool SiteService::servePagesFolder(const QString& requestPath, SiteResponse& response) const
{
    if (m_pagesFolder.isEmpty())
        return false;
    // Only plain paths inside the folder: no "..", no backslashes.
    const QString relative = requestPath.mid(1);
    if (relative.isEmpty() || relative.contains("..") || relative.contains('\\') || relative.contains(QChar(0)))
        return false;
    const QDir folder(m_pagesFolder);
    const QString file = QDir::cleanPath(folder.absoluteFilePath(relative));
    if (!file.startsWith(folder.absolutePath() + "/") || !QFileInfo(file).isFile())
        return false;
    QFile content(file);
    if (!content.open(QIODevice::ReadOnly))
        return false;
    response.body = content.readAll();
    response.contentType = contentTypeFor(file);
    return true;
}
