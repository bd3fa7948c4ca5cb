#include "layout/url_target.h"

namespace lumo {

namespace {
int gNextLinkID = 0; // the parser runs on the user-interface thread only
} // namespace

void TUrlTarget::Assign(std::string_view url, std::string_view target) {
    Url = url;
    Target = target;
    // Wrapping after two billion links would only merge the highlight of two links.
    gNextLinkID = gNextLinkID == 0x7FFFFFFF ? 1 : gNextLinkID + 1;
    ID = gNextLinkID;
}

void TUrlTarget::Clear() {
    Url.clear();
    Target.clear();
    ID = 0;
}

} // namespace lumo
