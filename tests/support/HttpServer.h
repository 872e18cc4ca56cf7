#pragma once
// A small HTTP server on 127.0.0.1 for tests that load real pages. It runs on
// threads of its own (one per connection), so it answers while the test's
// thread waits or is busy; it needs no Qt event loop. Every answer closes
// its connection.

#include <QtGlobal>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

struct HttpRequest {
    std::string method;
    std::string path;   // without the query
    std::string query;  // without '?'
    std::map<std::string, std::string> headers;  // names in lower case
};

struct HttpResponse {
    int status = 200;
    std::string contentType = "text/html; charset=utf-8";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    // Send the body in pieces of this size, pausing between them (0: at once).
    std::size_t pieceSize = 0;
    int pieceDelayMs = 0;
    // Drop the connection after this many body bytes (a broken transfer);
    // -1 sends the whole body.
    long long dropAfter = -1;
};

using HttpHandler = std::function<HttpResponse(const HttpRequest&)>;

class HttpServer {
public:
    HttpServer();   // listens on a free port
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    bool listening() const { return m_port != 0; }
    quint16 port() const { return m_port; }
    // "http://<host>:<port><path>"; "localhost" gives another site than the
    // default 127.0.0.1 (both reach this server).
    std::string url(const std::string& path = "/", const std::string& host = "127.0.0.1") const;

    // Answers for a path (exact match, without query); others get 404.
    void route(const std::string& path, HttpResponse response);
    void route(const std::string& path, HttpHandler handler);
    int requestCount(const std::string& path) const;

    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
    quint16 m_port = 0;
};

// A page: "<!doctype html><html><head><meta charset=utf-8>" + head + "</head><body>" + body + ...
std::string htmlPage(const std::string& body, const std::string& head = {});

} // namespace testsupport
