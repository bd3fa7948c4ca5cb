#include "net/resource_connection.h"

#include "address/address.h"
#include "platform/resources.h"
#include "platform/stream.h"
#include "platform/text.h"

namespace lumo {

void TResourceConnection::Get(const std::string& url) {
    std::string name = url.substr(0, url.find('?'));
    const std::string lower = LowerCase(name);
    if (const size_t at = lower.find("res:///"); at != std::string::npos)
        name.erase(at, 7);
    else if (const size_t at6 = lower.find("res://"); at6 != std::string::npos)
        name.erase(at6, 6);
    EnsureContentStream();

    const std::string extension = UpperCase(ExtensionOf(url));
    // Pages and text are stored under a type of their own, pictures under their extension.
    std::string type;
    if (const auto kind = KindOfExtension(LowerCase(extension))) {
        contentKind_ = *kind;
        type = *kind == ckHTML ? "HTML" : *kind == ckText ? "TEXT" : extension;
    }
    std::optional<std::string> bytes;
    if (!type.empty()) {
        bytes = FindResource(name, type);
        if (!bytes) {
            std::string bare = UpperCase(name);
            if (const size_t at = bare.find("." + extension); at != std::string::npos)
                bare.erase(at, extension.size() + 1);
            bytes = FindResource(bare, type);
        }
    }
    if (!bytes) {
        FireRequestDone(1);
        throw EResNotFound("Can't find resource: " + name);
    }
    contentStream_->Seek(contentStream_->Size());
    contentStream_->Write(*bytes);
    FireRequestDone(0);
    statusCode_ = 200;
}

} // namespace lumo
