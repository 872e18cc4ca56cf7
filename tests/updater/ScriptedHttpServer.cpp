#include "ScriptedHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

std::string reasonText(int status)
{
    switch (status) {
    case 200: return "OK";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

void sendAll(int connection, const std::string& data)
{
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(connection, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += std::size_t(n);
    }
}

} // namespace

ScriptedHttpServer::ScriptedHttpServer()
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 16) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

ScriptedHttpServer::~ScriptedHttpServer()
{
    m_stop = true;
    m_thread.join();
    ::close(m_listener);
}

std::string ScriptedHttpServer::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

void ScriptedHttpServer::setReply(const std::string& path, Reply reply)
{
    std::lock_guard lock(m_mutex);
    m_replies[path] = std::move(reply);
}

std::vector<ScriptedHttpServer::Request> ScriptedHttpServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

std::vector<std::string> ScriptedHttpServer::openings() const
{
    std::lock_guard lock(m_mutex);
    return m_openings;
}

void ScriptedHttpServer::serve()
{
    while (!m_stop) {
        pollfd waiting{m_listener, POLLIN, 0};
        if (::poll(&waiting, 1, 50) <= 0)
            continue;
        const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        handle(connection);
        ::close(connection);
    }
}

void ScriptedHttpServer::handle(int connection)
{
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        pollfd readable{connection, POLLIN, 0};
        if (::poll(&readable, 1, 5000) <= 0)
            break;
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        if (head.empty()) {
            std::lock_guard lock(m_mutex);
            m_openings.emplace_back(buffer, std::size_t(n));
        }
        head.append(buffer, std::size_t(n));
        if (head[0] < 'A' || head[0] > 'Z')
            return;  // not HTTP (a TLS handshake): hang up at once
    }
    const auto headEnd = head.find("\r\n\r\n");
    if (headEnd == std::string::npos)
        return;
    head.resize(headEnd + 2);
    const auto pathStart = head.find(' ');
    const auto pathEnd = head.find(' ', pathStart + 1);
    const std::string path = head.substr(pathStart + 1, pathEnd - pathStart - 1);

    Reply reply;
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back({head, path});
        auto found = m_replies.find(path);
        if (found != m_replies.end())
            reply = found->second;
        else
            reply = Reply{404, "not found\n", {}, false};
    }
    std::string response = "HTTP/1.1 " + std::to_string(reply.status) + " " + reasonText(reply.status) + "\r\n";
    if (!reply.withoutLength)
        response += "Content-Length: " + std::to_string(reply.announcedLength.value_or(reply.body.size())) + "\r\n";
    response += "Connection: close\r\n\r\n" + reply.body;
    sendAll(connection, response);
    ::shutdown(connection, SHUT_WR);
}
