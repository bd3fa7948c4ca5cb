// The socket the HTTP client uses, with the layers between it and the plain
// asynchronous socket: SOCKS, TLS, line mode and waiting. With no SOCKS
// server, no TLS host and line mode off, which is how http pages are fetched
// without a SOCKS setting, each layer passes every call to the one below.
#pragma once

#include "net/sync_socket.h"

namespace lumo {

class TSocket : public TSyncSocket {};

} // namespace lumo
