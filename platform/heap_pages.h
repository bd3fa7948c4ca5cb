// The memory a page's document takes comes in many small allocations; on
// machines where every page fault is dear (virtual machines above all),
// taking them from 2 MiB pages cuts the time a large page takes to open by a
// third or more.
#pragma once

#include <cstdint>

namespace lumo {

// The first multiple of unit, a power of two, at or past value.
inline std::uintptr_t AlignUp(std::uintptr_t value, std::uintptr_t unit) {
    return (value + unit - 1) & ~(unit - 1);
}

// Lets the heap grow in one step and asks the kernel to back it with large
// pages where it can; untouched parts take no memory. Call first in main,
// before the process allocates much; without the C library's heap (other
// allocators, sanitizers) it does nothing.
void UseLargePagesForHeap();

// Gives the pages of freed memory back to the system, as the heap grown in
// one step no longer does by itself: call when a document has gone. Cheap
// unless the process grew by tens of megabytes since the last release.
void ReturnFreeHeapMemory();

} // namespace lumo
