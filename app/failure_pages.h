// The pages a frame shows when its document could not be had and there is
// something to say about why: a secure connection that failed, or a page
// the web archive does not hold.
#pragma once

#include "net/tls_context.h"

#include <string>
#include <string_view>

namespace lumo {

// "Secure connection failed": the reason in plain words, the certificate's
// subject and SHA-256 fingerprint when one was seen.
std::string TlsFailurePage(std::string_view address, const TTlsFailure& failure);

// "Not archived: ADDRESS", with a link to the archive's calendar of the
// address; near is the date asked for ("27 Jul 1999"), empty when none.
std::string NotArchivedPage(std::string_view address, std::string_view calendar,
                            std::string_view near);

} // namespace lumo
