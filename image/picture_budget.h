// The memory the decoded pictures of one page may take together: the
// pictures its documents keep cached and the work copies of its animated
// pictures. The frames of a page share one budget; a document shown alone
// has its own.
#pragma once

#include "image/image_limits.h"

#include <algorithm>
#include <cstdint>

namespace lumo {

class TPictureBudget {
public:
    explicit TPictureBudget(int64_t limit = MaxPageImageBytes) : limit_(limit) {}

    int64_t Limit() const { return limit_; }
    int64_t Used() const { return used_; }
    int64_t Room() const { return std::max<int64_t>(limit_ - used_, 0); }
    // Takes bytes when they fit: false, and nothing taken, when they do not.
    bool Take(int64_t bytes) {
        if (bytes > Room()) return false;
        used_ += bytes;
        return true;
    }
    // Takes bytes whether they fit or not (what a cache held before it came here).
    void Add(int64_t bytes) { used_ += bytes; }
    void Give(int64_t bytes) { used_ = std::max<int64_t>(used_ - bytes, 0); }

private:
    int64_t limit_;
    int64_t used_ = 0;
};

} // namespace lumo
