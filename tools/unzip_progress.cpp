#include "tools/unzip_progress.h"

#include <algorithm>
#include <cmath>

namespace lumo {

int ProgressPercent(uint64_t done, uint64_t total) {
    if (total == 0) return 0;
    const double percent = std::round(static_cast<double>(done) / static_cast<double>(total) * 100);
    return static_cast<int>(std::clamp(percent, 0.0, 100.0));
}

} // namespace lumo
