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
    const std::optional<std::string> path = FileConnectionPath(address);
    if (!path) throw EInOutError("Can't locate file: " + address);
    const std::string file = path->substr(0, path->find('#'));
    switch (FileKindOf(file)) {
    case ckImage: viewer.OpenImageFile(*path); break;
    case ckText: viewer.OpenTextFile(*path); break;
    case ckHTML: viewer.OpenFile(*path); break;
    }
    return TViewerLoad::Loaded;
}

} // namespace lumo
