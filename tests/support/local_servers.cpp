#include "tests/support/local_servers.h"

#include <QProcess>
#include <QStringList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

namespace lumo::test {

namespace {

bool Accepts(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<uint16_t>(port));
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
    close(fd);
    return ok;
}

} // namespace

int FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof sa;
    bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len);
    close(fd);
    return ntohs(sa.sin_port);
}

LocalServer::~LocalServer() {
    if (!process_) return;
    process_->terminate();
    if (!process_->waitForFinished(5000)) {
        process_->kill();
        process_->waitForFinished(5000);
    }
}

bool LocalServer::Launch(const std::string& program, const std::vector<std::string>& arguments,
                         Errors errors) {
    if (!std::filesystem::exists(program)) return false;
    QStringList args;
    for (const auto& a : arguments)
        args << QString::fromStdString(a);
    process_ = std::make_unique<QProcess>();
    if (errors == Errors::Hide)
        process_->setStandardErrorFile(QProcess::nullDevice());
    else
        process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_->setStandardOutputFile(QProcess::nullDevice());
    process_->start(QString::fromStdString(program), args);
    if (!process_->waitForStarted(5000)) return false;
    for (int i = 0; i < 200; ++i) {
        if (Accepts(port_)) return true;
        if (process_->state() == QProcess::NotRunning) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

std::unique_ptr<LocalServer> LocalServer::StartNginx(const std::string& root,
                                                     const std::string& serverConfig,
                                                     const std::string& httpConfig) {
    const int port = FreeLoopbackPort();
    return LaunchNginx(root, "127.0.0.1:" + std::to_string(port), serverConfig, httpConfig, port);
}

std::unique_ptr<LocalServer>
LocalServer::StartNginxTls(const std::string& root, const std::string& certificate,
                           const std::string& key, const std::string& serverConfig,
                           const std::string& httpConfig, const std::string& protocols) {
    const int port = FreeLoopbackPort();
    // An old protocol needs the old ciphers, which the system's policy hides.
    const bool old = !protocols.empty() && protocols.find("TLSv1.2") == std::string::npos &&
                     protocols.find("TLSv1.3") == std::string::npos;
    const std::string tls =
        "ssl_certificate " + certificate + ";\n    ssl_certificate_key " + key +
        ";\n    ssl_protocols " + (protocols.empty() ? std::string("TLSv1.2 TLSv1.3") : protocols) +
        ";\n    " + (old ? "ssl_ciphers DEFAULT@SECLEVEL=0;\n    " : "") + serverConfig;
    auto server = LaunchNginx(root, "127.0.0.1:" + std::to_string(port) + " ssl", tls,
                              "ssl_session_cache shared:lumo:1m;\n  " + httpConfig, port);
    if (server) server->tls_ = true;
    return server;
}

std::unique_ptr<LocalServer> LocalServer::LaunchNginx(const std::string& root,
                                                      const std::string& listen,
                                                      const std::string& serverConfig,
                                                      const std::string& httpConfig, int port) {
    std::unique_ptr<LocalServer> server(new LocalServer);
    server->port_ = port;
    const std::string dir = server->folder_.Path();
    const std::string config =
        "daemon off;\nmaster_process off;\nworker_processes 1;\n"
        "error_log " +
        dir + "error.log;\npid " + dir +
        "nginx.pid;\n"
        "events { worker_connections 256; }\n"
        "http {\n"
        "  access_log off;\n  " +
        httpConfig +
        "\n"
        "  client_body_temp_path " +
        dir + "body;\n  proxy_temp_path " + dir +
        "proxy;\n"
        "  fastcgi_temp_path " +
        dir + "fastcgi;\n  uwsgi_temp_path " + dir +
        "uwsgi;\n"
        "  scgi_temp_path " +
        dir +
        "scgi;\n"
        "  types { text/html htm html; text/plain txt; image/gif gif; image/jpeg jpg jpeg;"
        " image/png png; }\n"
        "  default_type application/octet-stream;\n"
        "  server {\n    listen " +
        listen +
        ";\n"
        "    root " +
        root + ";\n    " + serverConfig + "\n  }\n}\n";
    server->folder_.Write("nginx.conf", config);
    if (!server->Launch("/usr/sbin/nginx",
                        {"-e", dir + "error.log", "-p", dir, "-c", dir + "nginx.conf"}))
        return nullptr;
    return server;
}

std::unique_ptr<LocalServer> LocalServer::StartTinyproxy() {
    std::unique_ptr<LocalServer> server(new LocalServer);
    server->port_ = FreeLoopbackPort();
    const std::string config = "Port " + std::to_string(server->port_) +
                               "\nListen 127.0.0.1\nAllow 127.0.0.1\nTimeout 60\n"
                               "MaxClients 50\nLogLevel Critical\nDisableViaHeader Yes\n";
    server->folder_.Write("tinyproxy.conf", config);
    if (!server->Launch("/usr/bin/tinyproxy", {"-d", "-c", server->folder_ / "tinyproxy.conf"}))
        return nullptr;
    return server;
}

std::unique_ptr<LocalServer> LocalServer::StartDante() {
    std::unique_ptr<LocalServer> server(new LocalServer);
    server->port_ = FreeLoopbackPort();
    const std::string dir = server->folder_.Path();
    const std::string config = "logoutput: " + dir + "danted.log\n" +
                               "internal: 127.0.0.1 port = " + std::to_string(server->port_) +
                               "\nexternal: 127.0.0.1\n"
                               "clientmethod: none\nsocksmethod: none\n"
                               "user.privileged: root\nuser.unprivileged: nobody\n"
                               "client pass { from: 127.0.0.0/8 to: 0.0.0.0/0 }\n"
                               "socks pass { from: 127.0.0.0/8 to: 127.0.0.0/8 }\n";
    server->folder_.Write("danted.conf", config);
    if (!server->Launch("/usr/sbin/danted",
                        {"-f", dir + "danted.conf", "-p", dir + "danted.pid", "-N", "1"}))
        return nullptr;
    return server;
}

std::unique_ptr<LocalServer> LocalServer::StartMicrosocks(const std::string& user,
                                                          const std::string& password) {
    std::unique_ptr<LocalServer> server(new LocalServer);
    server->port_ = FreeLoopbackPort();
    std::vector<std::string> arguments{"-i", "127.0.0.1", "-p", std::to_string(server->port_)};
    if (!user.empty()) arguments.insert(arguments.end(), {"-u", user, "-P", password});
    // It tells of every connection on its error output.
    if (!server->Launch("/usr/bin/microsocks", arguments, Errors::Hide)) return nullptr;
    return server;
}

} // namespace lumo::test
