#include "app/viewer_loading.h"

#include "net/address.h"
#include "net/file_connection.h"
#include "net/url_connection.h"
#include "viewer/html_viewer.h"

namespace lumo {

TViewerLoad LoadAddressIntoViewer(THTMLViewer& viewer, const std::string& address) {
    const std::string scheme = SchemeOf(address);
    if (scheme == "res") {
        auto connection = TURLConnection::CreateForURL(address);
        connection->Get(address);
        viewer.OpenStream(address, *connection->ContentStream(), connection->ContentKind());
        return TViewerLoad::Loaded;
    }
    if (scheme != "file") return TViewerLoad::NotLocal;
    const std::optional<std::string> file = FileConnectionPath(address);
    if (!file) throw EInOutError("Can't locate file: " + address);
    const size_t hash = address.find('#');
    const std::string name = hash == std::string::npos ? *file : *file + address.substr(hash);
    switch (FileKindOf(*file)) {
    case ckImage: viewer.OpenImageFile(name); break;
    case ckText: viewer.OpenTextFile(name); break;
    case ckHTML: viewer.OpenFile(name); break;
    }
    return TViewerLoad::Loaded;
}

} // namespace lumo
