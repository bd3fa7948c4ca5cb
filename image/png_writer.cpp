#include "image/png_writer.h"

#include "image/row_deflater.h"

#include <zlib.h>

#include <array>
#include <vector>

namespace lumo {

namespace {

constexpr std::array<unsigned char, 8> Signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr unsigned char NoFilter = 0;
// A bound well past any screenshot, so a wrong size fails before it takes
// all memory.
constexpr uint64_t MaxRowBytes = uint64_t(1) << 30;

void AppendBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += char((value >> shift) & 0xff);
}

// A chunk is the length of its data, its type, its data, and the CRC of
// type and data. The data goes into out between these two calls.
size_t BeginChunk(std::string& out, const char (&type)[5]) {
    AppendBigEndian(out, 0);
    const size_t typeAt = out.size();
    out.append(type, 4);
    return typeAt;
}

void EndChunk(std::string& out, size_t typeAt) {
    std::string length;
    AppendBigEndian(length, uint32_t(out.size() - typeAt - 4));
    out.replace(typeAt - 4, 4, length);
    const auto* checked = reinterpret_cast<const Bytef*>(out.data() + typeAt);
    AppendBigEndian(out, uint32_t(crc32_z(0, checked, out.size() - typeAt)));
}

void AppendHeader(std::string& out, int width, int height) {
    AppendBigEndian(out, uint32_t(width));
    AppendBigEndian(out, uint32_t(height));
    constexpr char bitDepth = 8, truecolour = 2, deflate = 0, adaptive = 0, progressive = 0;
    out += {bitDepth, truecolour, deflate, adaptive, progressive};
}

// One row as the filter byte and the red, green and blue of each pixel.
void ScanLine(const uint32_t* pixels, int width, std::vector<unsigned char>& line) {
    unsigned char* out = line.data();
    *out++ = NoFilter;
    for (int x = 0; x < width; ++x) {
        const uint32_t p = pixels[x];
        *out++ = (p >> 16) & 0xff;
        *out++ = (p >> 8) & 0xff;
        *out++ = p & 0xff;
    }
}

// The image data: every scan line through one deflate stream, appended to
// out as it is made, so the memory taken is the file's size and not the
// pixels' (a screenshot's file is a few per cent of its pixels).
void AppendDeflated(const TPixelRows& rows, std::string& out) {
    std::vector<unsigned char> line(1 + size_t(rows.Width) * 3);
    TRowDeflater deflater(line.size(), 3, out);
    for (int y = 0; y < rows.Height; ++y) {
        ScanLine(rows.First + size_t(y) * size_t(rows.Stride), rows.Width, line);
        deflater.AddRow(line.data());
    }
    deflater.Finish();
}

} // namespace

std::string EncodePng(const TPixelRows& rows) {
    if (rows.Width <= 0 || rows.Height <= 0 || rows.Stride < rows.Width || !rows.First ||
        (1 + uint64_t(rows.Width) * 3) * uint64_t(rows.Height) > MaxRowBytes)
        return {};
    std::string file(Signature.begin(), Signature.end());
    size_t chunk = BeginChunk(file, "IHDR");
    AppendHeader(file, rows.Width, rows.Height);
    EndChunk(file, chunk);
    chunk = BeginChunk(file, "IDAT");
    AppendDeflated(rows, file);
    EndChunk(file, chunk);
    EndChunk(file, BeginChunk(file, "IEND"));
    return file;
}

} // namespace lumo
