// Real servers for tests, started as child processes on free high ports of
// 127.0.0.1 with generated configurations in a temporary folder, and stopped
// when the object goes. Start returns nothing when the program is not
// installed (or does not come up), and the test then skips with a message.
#pragma once

#include "tests/support/temp_folder.h"

#include <memory>
#include <string>
#include <vector>

class QProcess;

namespace lumo::test {

class LocalServer {
public:
    ~LocalServer();
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;

    // nginx serving root; serverConfig is added inside its server block
    // (for example "location = /r { return 302 /a.htm; }").
    static std::unique_ptr<LocalServer> StartNginx(const std::string& root,
                                                   const std::string& serverConfig = {});
    // tinyproxy allowing 127.0.0.1.
    static std::unique_ptr<LocalServer> StartTinyproxy();
    // dante, a SOCKS 4 and 5 server without authentication, for clients
    // and destinations on 127.0.0.1.
    static std::unique_ptr<LocalServer> StartDante();
    // microsocks, a SOCKS 5 server; with a user name it asks for it and the password.
    static std::unique_ptr<LocalServer> StartMicrosocks(const std::string& user = {},
                                                        const std::string& password = {});

    int Port() const { return port_; }
    std::string HostPort() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string Address(const std::string& path = "/") const {
        return "http://" + HostPort() + path;
    }

private:
    LocalServer() = default;
    enum class Errors { Show, Hide };
    bool Launch(const std::string& program, const std::vector<std::string>& arguments,
                Errors errors = Errors::Show);

    TempFolder folder_;
    std::unique_ptr<QProcess> process_;
    int port_ = 0;
};

// A port that was free a moment ago.
int FreeLoopbackPort();

} // namespace lumo::test
