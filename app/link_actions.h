// Which links the main window takes over from the frame browser: mail
// addresses go to the desktop's mail program, archives and programs on the
// web are downloads, and local sounds, videos and programs are played or
// started. Pure decisions; the window carries them out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumo {

enum class TLinkAction { Browse, Mail, Download, Sound, Program, Media };

struct TLinkDecision {
    TLinkAction Action = TLinkAction::Browse;
    std::string Address;                 // a local link without its parameters
    std::string FileName;                // the local file a local link names
    std::vector<std::string> Parameters; // after the first blank or "?", split at blanks
};

TLinkDecision DecideLinkAction(std::string_view url);

} // namespace lumo
