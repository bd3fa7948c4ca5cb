// The cookie store loading an arbitrary file, then taking the same bytes as
// Set-Cookie values and making request headers.
#include "fuzz/fuzz_support.h"
#include "net/cookie_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lumo;
    fuzz::WriteFile(fuzz::WorkFolder() + "Cookies.txt", data, size);
    TCookieList cookies(fuzz::WorkFolder());
    const std::string_view text = fuzz::AsText(data, size);
    const size_t newline = text.find('\n');
    const std::string host(text.substr(0, std::min<size_t>(newline, 64)));
    cookies.StoreSetCookie("http://" + host + "/", text);
    cookies.StoreSetCookie("http://www.example.com/", text);
    cookies.CookieHeaderFor("http://" + host + "/x");
    cookies.CookieHeaderFor("http://news.example.com/");
    cookies.FileText();
    return 0;
}
