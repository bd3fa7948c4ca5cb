// The decoders of the four compression methods. Each reads the member's
// compressed bytes and puts the expanded bytes into the output until the
// output is full or the data ends; the caller then checks size and CRC-32.
#pragma once

#include "tools/unzip_codes.h"

#include <cstdint>
#include <memory>

namespace lumo {

class TMemberInput;
class TMemberOutput;

TUnzipResult CopyStored(TMemberInput& input, TMemberOutput& output); // method 0
TUnzipResult Unshrink(TMemberInput& input, TMemberOutput& output);   // method 1
TUnzipResult Explode(TMemberInput& input, TMemberOutput& output,     // method 6
                     uint16_t flags);

// Method 8, through zlib. One inflater serves many members, so its state is
// allocated once.
class TInflater {
public:
    TInflater();
    ~TInflater();
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;

    TUnzipResult Inflate(TMemberInput& input, TMemberOutput& output);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Whether a compression method has a decoder here.
bool MethodSupported(uint16_t method);

} // namespace lumo
