#pragma once
// A zlib stream of a picture's scan lines, made for screenshots. A page's
// pixels repeat in two ways: a colour runs on along its row, and a row
// repeats the one above. The deflater looks for repeats only there, one
// pixel back and one row up, where a general deflater searches a hash of
// every position. On screenshots of pages that makes it two to three times
// faster than zlib's fastest level, for files up to half as large again:
// smoothed text, whose repeats lie elsewhere, is where they differ.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumo {

class TRowDeflater {
public:
    // Rows of rowBytes bytes each, of pixels pixelBytes bytes long after
    // a first byte of their own (the PNG filter byte). The stream goes
    // onto the end of out.
    TRowDeflater(size_t rowBytes, int pixelBytes, std::string& out);

    void AddRow(const unsigned char* row);
    // Ends the stream; no row may follow.
    void Finish();

private:
    // A literal byte, or a copy of Length bytes from one pixel back or
    // from one row up.
    struct TToken {
        uint16_t Length = 0; // 0 for a literal
        uint8_t Literal = 0;
        bool FromAbove = false;
    };

    void AddToken(TToken token);
    void WriteBlock(bool last);
    void WriteCodeLengths(const std::vector<uint8_t>& lengthBits,
                          const std::vector<uint8_t>& distanceBits);
    void ReserveBytes(size_t bytes);
    void WriteBits(uint32_t bits, int count);

    size_t RowBytes;
    int PixelBytes;
    bool AboveInReach; // the row above lies within deflate's window
    std::string& Out;
    size_t Written; // Out's bytes that hold the stream; room follows
    std::vector<unsigned char> Above;
    bool HaveAbove = false;
    // The last token copies from the row above up to that row's end.
    bool AboveCopyOpen = false;
    std::vector<TToken> Tokens;
    uint32_t Adler = 1;
    uint64_t BitBuffer = 0;
    int BitCount = 0;
};

} // namespace lumo
