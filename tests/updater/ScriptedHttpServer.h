#pragma once
// A small HTTP server on 127.0.0.1 for tests, with answers scripted per path,
// including the faulty ones no well-behaved server gives: a body shorter
// than its Content-Length (a connection dropped mid-file), any status code.
// One request per connection; runs on its own thread.

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class ScriptedHttpServer {
public:
    struct Reply {
        Reply() = default;
        Reply(int status, std::string body, std::optional<std::size_t> announcedLength = {},
              bool withoutLength = false)
            : status(status), body(std::move(body)), announcedLength(announcedLength), withoutLength(withoutLength)
        {
        }

        int status = 200;
        std::string body;
        // The Content-Length announced; the body's size when not set. A
        // larger value makes the server close the connection mid-body.
        std::optional<std::size_t> announcedLength;
        bool withoutLength = false;  // no Content-Length; the close ends the body
    };
    struct Request {
        std::string head;  // request line and headers, as received
        std::string path;
    };

    ScriptedHttpServer();
    ~ScriptedHttpServer();
    ScriptedHttpServer(const ScriptedHttpServer&) = delete;
    ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;

    int port() const { return m_port; }
    std::string url(const std::string& path) const;
    // Paths without a reply get a 404.
    void setReply(const std::string& path, Reply reply);
    std::vector<Request> requests() const;
    // The first bytes of every connection, also of those that were not HTTP.
    std::vector<std::string> openings() const;

private:
    void serve();
    void handle(int connection);

    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::map<std::string, Reply> m_replies;
    std::vector<Request> m_requests;
    std::vector<std::string> m_openings;
    std::thread m_thread;
};
