#include "image/png_writer.h"

#include <zlib.h>

#include <array>
#include <vector>

namespace lumo {

namespace {

constexpr std::array<unsigned char, 8> Signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr unsigned char NoFilter = 0;
constexpr int FastestLevel = 1;
// The unfiltered rows go through zlib, whose counts are 32-bit.
constexpr uint64_t MaxRowBytes = uint64_t(1) << 30;

void AppendBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += char((value >> shift) & 0xff);
}

// A chunk: its length, type and data, and the CRC of type and data.
void AppendChunk(std::string& out, const char (&type)[5], const std::string& data) {
    AppendBigEndian(out, uint32_t(data.size()));
    const size_t typeAt = out.size();
    out.append(type, 4);
    out += data;
    const auto* checked = reinterpret_cast<const Bytef*>(out.data() + typeAt);
    AppendBigEndian(out, uint32_t(crc32_z(0, checked, out.size() - typeAt)));
}

std::string Header(int width, int height) {
    std::string data;
    AppendBigEndian(data, uint32_t(width));
    AppendBigEndian(data, uint32_t(height));
    constexpr char bitDepth = 8, truecolour = 2, deflate = 0, adaptive = 0, progressive = 0;
    data += {bitDepth, truecolour, deflate, adaptive, progressive};
    return data;
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

// The image data: every scan line through one deflate stream.
bool Deflated(const TPixelRows& rows, std::string& data) {
    z_stream stream{};
    if (deflateInit(&stream, FastestLevel) != Z_OK) return false;
    std::vector<unsigned char> line(1 + size_t(rows.Width) * 3);
    data.resize(deflateBound(&stream, uLong(line.size()) * uLong(rows.Height)));
    stream.next_out = reinterpret_cast<Bytef*>(data.data());
    stream.avail_out = uInt(data.size());
    int status = Z_OK;
    for (int y = 0; y < rows.Height && status == Z_OK; ++y) {
        ScanLine(rows.First + size_t(y) * size_t(rows.Stride), rows.Width, line);
        stream.next_in = line.data();
        stream.avail_in = uInt(line.size());
        status = deflate(&stream, y + 1 == rows.Height ? Z_FINISH : Z_NO_FLUSH);
    }
    data.resize(stream.total_out);
    deflateEnd(&stream);
    return status == Z_STREAM_END;
}

} // namespace

std::string EncodePng(const TPixelRows& rows) {
    if (rows.Width <= 0 || rows.Height <= 0 || rows.Stride < rows.Width || !rows.First ||
        (1 + uint64_t(rows.Width) * 3) * uint64_t(rows.Height) > MaxRowBytes)
        return {};
    std::string data;
    if (!Deflated(rows, data)) return {};
    std::string file(Signature.begin(), Signature.end());
    AppendChunk(file, "IHDR", Header(rows.Width, rows.Height));
    AppendChunk(file, "IDAT", data);
    AppendChunk(file, "IEND", {});
    return file;
}

} // namespace lumo
