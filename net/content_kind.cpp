#include "net/content_kind.h"

namespace lumo {

namespace {

struct ContentExtension {
    std::string_view extension;
    ThtmlFileType kind;
};

constexpr ContentExtension ContentExtensions[] = {
    {"htm", ckHTML},   {"html", ckHTML}, {"gif", ckImage}, {"jpg", ckImage},
    {"jpeg", ckImage}, {"png", ckImage}, {"bmp", ckImage}, {"txt", ckText},
};

} // namespace

std::optional<ThtmlFileType> KindOfExtension(std::string_view extension) {
    for (const auto& e : ContentExtensions)
        if (e.extension == extension) return e.kind;
    return std::nullopt;
}

} // namespace lumo
