#include "platform/heap_pages.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUMO_OTHER_HEAP 1
#endif
#endif
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(LUMO_OTHER_HEAP)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#define LUMO_HEAP_PAGES 1
#endif

namespace lumo {

#ifdef LUMO_HEAP_PAGES
namespace {

constexpr std::size_t Reserve = std::size_t{512} << 20;
constexpr std::uintptr_t LargePage = std::uintptr_t{2} << 20;
// The first megabytes stay in small pages: a small page needs no more, and
// large pages there would only round its memory up.
constexpr std::uintptr_t SmallPart = std::uintptr_t{8} << 20;
bool reserved = false;
// Walking the heap for free pages takes time in proportion to its free
// blocks (a tenth of a second for a heap torn into half a million): it is
// done only when the process has grown by this much since the last time.
constexpr std::size_t ReleaseStep = std::size_t{64} << 20;
std::size_t residentAfterRelease = 0;

std::size_t ResidentBytes() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm) return 0;
    unsigned long size = 0, resident = 0;
    const bool read = std::fscanf(statm, "%lu %lu", &size, &resident) == 2;
    std::fclose(statm);
    return read ? resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) : 0;
}

// Makes the heap take the reserve now: fills what is free at its top with
// blocks small enough to come from the heap until it grows. False when the
// break could not move that far (a memory limit).
bool GrowByReserve(char* before) {
    constexpr int maxBlocks = 64;
    void* blocks[maxBlocks];
    int count = 0;
    while (count < maxBlocks && sbrk(0) == before) {
        blocks[count] = std::malloc(std::size_t{64} << 10);
        if (!blocks[count]) break;
        ++count;
    }
    for (int i = 0; i < count; ++i)
        std::free(blocks[i]);
    return static_cast<char*>(sbrk(0)) >= before + Reserve / 2;
}

} // namespace
#endif

void UseLargePagesForHeap() {
#ifdef LUMO_HEAP_PAGES
    // The break moves once by the reserve, so the range advised below covers
    // the heap's growth up to there; beyond it allocation goes on as usual.
    auto* before = static_cast<char*>(sbrk(0));
    if (mallopt(M_TOP_PAD, static_cast<int>(Reserve)) == 0) return;
    if (!GrowByReserve(before)) {
        mallopt(M_TOP_PAD, 128 << 10); // glibc's own pad
        return;
    }
    reserved = true;
    residentAfterRelease = ResidentBytes();
    const auto start = AlignUp(reinterpret_cast<std::uintptr_t>(before) + SmallPart, LargePage);
    const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0)) & ~(LargePage - 1);
    if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#endif
}

void ReturnFreeHeapMemory() {
#ifdef LUMO_HEAP_PAGES
    if (!reserved || ResidentBytes() < residentAfterRelease + ReleaseStep) return;
    // Free pages inside the heap go back; the reserve at its top keeps its
    // addresses (and its large-page advice), but its pages go back too.
    malloc_trim(Reserve);
    const auto top = static_cast<std::uintptr_t>(mallinfo2().keepcost);
    const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    const long page = sysconf(_SC_PAGESIZE);
    // The top chunk's own header stays where it is.
    const auto from = AlignUp(end - top + 64, static_cast<std::uintptr_t>(page));
    if (end > from) madvise(reinterpret_cast<void*>(from), end - from, MADV_DONTNEED);
    residentAfterRelease = ResidentBytes();
#endif
}

} // namespace lumo
