#include "platform/code_page.h"

namespace lumo {

std::string_view CodePageName(TCodePage page) {
    static constexpr std::string_view names[] = {
        "windows-1252", "windows-1250", "windows-1251", "windows-1253", "windows-1254",
        "windows-1257", "iso-8859-2",   "iso-8859-3",   "iso-8859-4",   "iso-8859-5",
        "iso-8859-7",   "iso-8859-9",   "koi8-r",       "utf-8"};
    const auto index = static_cast<size_t>(page);
    return index < std::size(names) ? names[index] : names[0];
}

} // namespace lumo
