#include "net/tls_library.h"

#include <dlfcn.h>

namespace lumo {

namespace {

// The library of OpenSSL 3's TLS, which brings its crypto library with it.
constexpr const char* TlsLibraryName = "libssl.so.3";

struct TLoadedTls {
    TTlsLibrary Functions;
    std::string Error;
};

TLoadedTls Load() {
    TLoadedTls loaded;
    void* handle = ::dlopen(TlsLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* error = ::dlerror();
        loaded.Error = error ? error : TlsLibraryName;
        return loaded;
    }
    // The handle finds the crypto library's functions too: it loaded with it.
    // It is never closed: connections and sessions may live until the end.
#define LUMO_TLS_FIND(name)                                                                        \
    loaded.Functions.name = reinterpret_cast<decltype(&::name)>(::dlsym(handle, #name));           \
    if (!loaded.Functions.name && loaded.Error.empty())                                            \
        loaded.Error = std::string(TlsLibraryName) + " has no " #name;
    LUMO_TLS_FUNCTIONS(LUMO_TLS_FIND)
#undef LUMO_TLS_FIND
    return loaded;
}

const TLoadedTls& Loaded() {
    static const TLoadedTls loaded = Load();
    return loaded;
}

} // namespace

bool LoadTls() {
    return Loaded().Error.empty();
}

const std::string& TlsLoadError() {
    return Loaded().Error;
}

const TTlsLibrary& Tls() {
    return Loaded().Functions;
}

} // namespace lumo
