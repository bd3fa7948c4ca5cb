// The disk cache loading an arbitrary index, then adding, removing and erasing.
#include "fuzz/fuzz_support.h"
#include "net/disk_cache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lumo;
    const std::string folder = fuzz::WorkFolder() + "Cache/";
    static const bool made = [&] {
        TDiskCache create(folder);
        return true;
    }();
    (void)made;
    fuzz::WriteFile(folder + "cachinfo.txt", data, size);
    TDiskCache cache(folder);
    std::string file;
    int kind = 0;
    cache.Lookup("http://srv/a.htm", file, kind);
    cache.Add("http://srv/new.htm", 0, false);
    cache.Remove("http://srv/a.htm");
    cache.IndexText();
    cache.EraseAll();
    return 0;
}
