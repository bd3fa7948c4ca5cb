// The connection for file addresses: reads a local file.
#pragma once

#include "net/url_connection.h"

#include <optional>

namespace lumo {

class TFileConnection : public TURLConnection {
public:
    // Larger files are not shown in a browser window.
    static constexpr size_t MaxFileSize = 256 * 1024 * 1024;

    // Only regular files are read; anything else fails as a missing file does.
    void Get(const std::string& url) override;
};

// The local file name of a file address: AddressToPath of the address
// without its query and fragment. Nothing when the name would hold a NUL byte.
std::optional<std::string> FileConnectionPath(std::string_view url);

// The content kind a local file's name stands for.
TContentKind FileKindOf(std::string_view fileName);

} // namespace lumo
