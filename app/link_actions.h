// Which links the main window takes over from the frame browser: mail
// addresses go to the desktop's mail program, archives and programs on the
// web are downloads, and local sounds, videos and programs are played or
// started, but only from a page on this computer. Pure decisions; the
// window carries them out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumo {

// Blocked: a page from elsewhere links to a local sound, video or program;
// the click does nothing.
enum class TLinkAction { Browse, Mail, Download, Sound, Program, Media, Blocked };

struct TLinkDecision {
    TLinkAction Action = TLinkAction::Browse;
    std::string Address;                 // a local link without its parameters
    std::string FileName;                // the local file a local link names
    std::vector<std::string> Parameters; // after the first blank or "?", split at blanks
};

// What to do with url, a link in the document at source (its address).
TLinkDecision DecideLinkAction(std::string_view url, std::string_view source);

// The command a program link runs, as the user is asked about it: the file
// and every parameter, blank-separated. A word that is empty or holds a
// blank, a quote or a control byte is shown quoted (QuotedBytes), so
// nothing of the command can hide.
std::string ProgramCommandText(const TLinkDecision& link);

} // namespace lumo
