// The web archive reader on any bytes as a file: the index built in one pass,
// every capture read back, the index page, and the saved index loaded again.
#include "fuzz/fuzz_support.h"
#include "net/web_archive.h"
#include "platform/exception.h"

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lumo;
    const std::string file = fuzz::WorkFolder() + "fuzz.warc";
    const std::string indexFolder = fuzz::WorkFolder() + "index";
    fuzz::WriteFile(file, data, size);
    // The saved index of an earlier input must not stand for this one.
    std::remove(ArchiveIndexFile(indexFolder, file).c_str());
    TWebArchive archive(file, indexFolder);
    for (const TArchiveEntry& entry : archive.Index().Entries()) {
        try {
            archive.Read(entry);
        } catch (const Exception&) {
        }
        archive.Index().Find(entry.Address, entry.Date);
    }
    archive.IndexPage("file:///fuzz.warc", "a");
    TWebArchive again(file, indexFolder);
    if (again.Index().Entries().size() != archive.Index().Entries().size()) std::abort();
    return 0;
}
