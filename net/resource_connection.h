// The connection for res addresses: pages and pictures built into the program.
#pragma once

#include "net/url_connection.h"

namespace lumo {

class EResNotFound : public Exception {
public:
    using Exception::Exception;
};

class TResourceConnection : public TURLConnection {
public:
    // "res:///support.htm" is the resource SUPPORT of type HTML.
    void Get(const std::string& url) override;
};

} // namespace lumo
