// The form under which an archive files its captures, so that an address a
// page names finds the capture of the same document however it is written.
#pragma once

#include <string>
#include <string_view>

namespace lumo {

// The address reduced to what names the document: for http and https the
// scheme is dropped, the host lower-cased without a leading "www." and
// without the scheme's own port, a trailing "/" dropped from the path and
// the query's parameters sorted; the fragment goes for every scheme.
// "HTTP://www.Example.com:80/a/?b=2&a=1#top" gives "example.com/a?a=1&b=2".
std::string ArchiveKey(std::string_view address);

} // namespace lumo
