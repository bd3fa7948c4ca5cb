// The socket the HTTP client uses, and the layers between it and the plain
// asynchronous socket. With no SOCKS server and line mode off, which is how
// this program uses them, each layer passes every call to the one below.
#pragma once

#include "net/custom_wsocket.h"

namespace lumo {

// FIXME: routing through a SOCKS 4, 4A or 5 server is not there yet.
class TCustomSocksWSocket : public TCustomWSocket {};

// FIXME: line mode (delivery line by line, echo and editing) is not there yet.
class TCustomLineWSocket : public TCustomSocksWSocket {};

// FIXME: the waiting helpers (Synchronize, WaitReady) are not there yet.
class TCustomSyncWSocket : public TCustomLineWSocket {};

class TWSocket : public TCustomSyncWSocket {};

} // namespace lumo
