#include "app/archive_list.h"

#include "net/web_archive.h"
#include "platform/ansi.h"
#include "platform/exception.h"

namespace lumo {

int PrintArchiveList(const std::string& fileName, const std::string& cacheFolder, std::FILE* out,
                     std::FILE* err) {
    try {
        const TWebArchive archive(fileName, cacheFolder + "Archives");
        for (const TArchiveEntry& entry : archive.Index().Entries())
            std::fprintf(out, "%s\n", ArchiveEntryJson(entry).c_str());
        for (const TArchiveError& error : archive.Index().Errors())
            std::fprintf(err, "lumo: %s: offset %lld: %s\n", AnsiToUtf8(fileName).c_str(),
                         static_cast<long long>(error.Offset), error.Message.c_str());
        return 0;
    } catch (const Exception& e) {
        std::fprintf(err, "lumo: %s\n", AnsiToUtf8(e.what()).c_str());
        return 1;
    }
}

} // namespace lumo
