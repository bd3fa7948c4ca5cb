#include "net/file_connection.h"

#include "address/address.h"
#include "platform/exception.h"
#include "platform/file_system.h"
#include "platform/stream.h"
#include "platform/text.h"

namespace lumo {

std::optional<std::string> FileConnectionPath(std::string_view url) {
    std::string name = AddressToPath(url.substr(0, url.find_first_of("?#")));
    if (!name.empty() && NativePath(name).empty()) return std::nullopt;
    return name;
}

TContentKind FileKindOf(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || fileName.find('/', dot) != std::string_view::npos)
        return ckHTML;
    return KindOfExtension(LowerCase(fileName.substr(dot + 1))).value_or(ckHTML);
}

void TFileConnection::Get(const std::string& url) {
    EnsureContentStream();
    const std::optional<std::string> name = FileConnectionPath(url);
    std::optional<std::string> bytes =
        name ? ReadWholeFile(*name, MaxFileSize) : std::optional<std::string>();
    if (!bytes) {
        FireRequestDone(1);
        throw Exception("Cannot open file " + (name ? *name : std::string(url)));
    }
    contentStream_->Assign(std::move(*bytes));
    contentKind_ = FileKindOf(*name);
    contentLength_ = contentStream_->Size();
    statusCode_ = 200;
    FireRequestDone(0);
}

} // namespace lumo
