#include "tests/support/scripted_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace lumo::test {

namespace {
thread_local ScriptedServer* currentServer = nullptr;

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Announced body length of a request header, 0 when none.
size_t ContentLengthOf(const std::string& header) {
    std::string lower;
    for (char c : header)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const size_t at = lower.find("\ncontent-length:");
    if (at == std::string::npos) return 0;
    return std::strtoul(header.c_str() + at + 16, nullptr, 10);
}
} // namespace

std::string ScriptedConnection::ReadRequest() {
    std::string request;
    const int64_t deadline = NowMs() + 5000;
    size_t wanted = std::string::npos;
    while (!stopping_ && NowMs() < deadline && request.size() < (1u << 24)) {
        if (wanted == std::string::npos) {
            const size_t end = request.find("\r\n\r\n");
            if (end != std::string::npos)
                wanted = end + 4 + ContentLengthOf(request.substr(0, end + 2));
        }
        if (wanted != std::string::npos && request.size() >= wanted) break;
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        char buffer[16384];
        const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, static_cast<size_t>(n));
    }
    if (currentServer) currentServer->Record(request);
    return request;
}

std::string ScriptedConnection::ReadBytes(size_t count) {
    std::string got;
    const int64_t deadline = NowMs() + 5000;
    while (got.size() < count && !stopping_ && NowMs() < deadline) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        char buffer[16384];
        const ssize_t n = recv(fd_, buffer, std::min(sizeof buffer, count - got.size()), 0);
        if (n <= 0) break;
        got.append(buffer, static_cast<size_t>(n));
    }
    return got;
}

void ScriptedConnection::Send(std::string_view bytes) {
    const int64_t deadline = NowMs() + 10000;
    while (!bytes.empty() && !stopping_ && NowMs() < deadline) {
        pollfd p{fd_, POLLOUT, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        const ssize_t n = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0) return;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

void ScriptedConnection::Reset() {
    linger l{1, 0};
    setsockopt(fd_, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    close(fd_);
    fd_ = -1;
}

bool ScriptedConnection::WaitForPeerClose(int ms) {
    const int64_t deadline = NowMs() + ms;
    while (fd_ >= 0 && !stopping_ && NowMs() < deadline) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        char buffer[4096];
        if (recv(fd_, buffer, sizeof buffer, 0) <= 0) return true;
    }
    return false;
}

void ScriptedConnection::Sleep(int ms) {
    const int64_t deadline = NowMs() + ms;
    while (!stopping_ && NowMs() < deadline)
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::min<int64_t>(10, deadline - NowMs())));
}

ScriptedServer::ScriptedServer(Script script) : script_(std::move(script)) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int on = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof sa;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) < 0 ||
        listen(listener_, 64) < 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&sa), &len) < 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    port_ = ntohs(sa.sin_port);
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

ScriptedServer::Script ScriptedServer::Reply(std::string response) {
    return [response = std::move(response)](ScriptedConnection& c) {
        c.ReadRequest();
        c.Send(response);
    };
}

ScriptedServer::~ScriptedServer() {
    stopping_ = true;
    acceptor_.join();
    for (auto& t : threads_)
        t.join();
    close(listener_);
}

std::string ScriptedServer::Address(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<std::string> ScriptedServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void ScriptedServer::Record(std::string request) {
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(request));
}

void ScriptedServer::AcceptLoop() {
    while (!stopping_) {
        pollfd p{listener_, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0) continue;
        const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ++connections_;
        threads_.emplace_back([this, fd] {
            currentServer = this;
            ScriptedConnection connection(fd, stopping_);
            script_(connection);
            if (connection.Descriptor() >= 0) {
                // Reading what the client still sends keeps the close orderly;
                // unread data would turn it into a reset that loses the reply.
                shutdown(connection.Descriptor(), SHUT_WR);
                connection.WaitForPeerClose(2000);
                close(connection.Descriptor());
            }
        });
    }
}

} // namespace lumo::test
