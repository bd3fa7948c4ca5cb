// A small HTTP server inside a test, on 127.0.0.1 and a free port, that plays
// a script for every connection: read the request, answer with chosen bytes,
// misbehave on purpose. Each connection runs on its own thread; every wait is
// bounded, and the destructor stops and joins everything.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace lumo::test {

class ScriptedConnection {
public:
    ScriptedConnection(int fd, const std::atomic<bool>& stopping) : fd_(fd), stopping_(stopping) {}

    // The request header up to the blank line and the body its
    // Content-Length announces; what arrived when the peer closed or 5 s passed.
    std::string ReadRequest();
    // Exactly count bytes, or fewer when the peer closed or 5 s passed.
    std::string ReadBytes(size_t count);
    void Send(std::string_view bytes);
    // Closes with a reset instead of an orderly end.
    void Reset();
    // True when the peer closed within ms milliseconds.
    bool WaitForPeerClose(int ms);
    // Sleeps, ending early when the server stops.
    void Sleep(int ms);
    bool Stopping() const { return stopping_; }
    int Descriptor() const { return fd_; }

private:
    int fd_;
    const std::atomic<bool>& stopping_;
};

class ScriptedServer {
public:
    using Script = std::function<void(ScriptedConnection&)>;
    // The script runs for each connection; the connection closes when it returns.
    explicit ScriptedServer(Script script);
    // A server that answers every request with the same bytes.
    static Script Reply(std::string response);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    int Port() const { return port_; }
    std::string Address(std::string_view path = "/") const;
    // Every request read by ReadRequest so far, in order.
    std::vector<std::string> Requests() const;
    int Connections() const { return connections_; }

    // Records a request; called by the connections.
    void Record(std::string request);

private:
    void AcceptLoop();

    Script script_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::vector<std::thread> threads_;
    std::thread acceptor_;
};

} // namespace lumo::test
