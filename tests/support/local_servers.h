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
    // httpConfig goes into the http block (a log_format, say).
    static std::unique_ptr<LocalServer> StartNginx(const std::string& root,
                                                   const std::string& serverConfig = {},
                                                   const std::string& httpConfig = {});
    // nginx serving root over TLS with the certificate and key files, for
    // the protocols nginx names ("TLSv1.2 TLSv1.3", or "TLSv1" for an old
    // server); its addresses are https addresses.
    static std::unique_ptr<LocalServer>
    StartNginxTls(const std::string& root, const std::string& certificate, const std::string& key,
                  const std::string& serverConfig = {}, const std::string& httpConfig = {},
                  const std::string& protocols = {});
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
        return (tls_ ? "https://" : "http://") + HostPort() + path;
    }

private:
    LocalServer() = default;
    enum class Errors { Show, Hide };
    bool Launch(const std::string& program, const std::vector<std::string>& arguments,
                Errors errors = Errors::Show);

    static std::unique_ptr<LocalServer> LaunchNginx(const std::string& root,
                                                    const std::string& listen,
                                                    const std::string& serverConfig,
                                                    const std::string& httpConfig, int port);

    TempFolder folder_;
    std::unique_ptr<QProcess> process_;
    int port_ = 0;
    bool tls_ = false;
};

// A port that was free a moment ago.
int FreeLoopbackPort();

} // namespace lumo::test
