#include "app/failure_pages.h"

namespace lumo {

namespace {

std::string HtmlText(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string Page(std::string_view title, const std::string& body) {
    return "<html><head><title>" + HtmlText(title) + "</title></head><body>\n" + body +
           "</body></html>\n";
}

} // namespace

std::string TlsFailurePage(std::string_view address, const TTlsFailure& failure) {
    std::string body = "<h2>Secure connection failed</h2>\n<p>" + HtmlText(failure.Reason) +
                       "\n<p>The page " + HtmlText(address) +
                       " was not loaded: nothing it sent is shown.\n";
    if (!failure.Subject.empty())
        body += "<p>Certificate: " + HtmlText(failure.Subject) +
                "<br>\nSHA-256 fingerprint: " + HtmlText(failure.Fingerprint) + "\n";
    return Page("Secure connection failed", body);
}

std::string NotArchivedPage(std::string_view address, std::string_view calendar,
                            std::string_view near) {
    const std::string when = near.empty() ? std::string() : " near " + std::string(near);
    return Page("Not archived", "<h2>Not archived: " + HtmlText(address) +
                                    "</h2>\n<p>The archive holds no copy of this page" +
                                    HtmlText(when) + ".\n<p><a href=\"" + HtmlText(calendar) +
                                    "\">The copies the archive holds of this address</a>\n");
}

} // namespace lumo
