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
// out a piece at a time, so the memory taken is the file's size and not
// the bound for pixels that do not compress (a screenshot's file is a few
// per cent of its pixels).
bool AppendDeflated(const TPixelRows& rows, std::string& out) {
    z_stream stream{};
    if (deflateInit(&stream, FastestLevel) != Z_OK) return false;
    std::vector<unsigned char> line(1 + size_t(rows.Width) * 3);
    std::vector<unsigned char> piece(size_t(1) << 16);
    int status = Z_OK;
    for (int y = 0; y < rows.Height && status == Z_OK; ++y) {
        ScanLine(rows.First + size_t(y) * size_t(rows.Stride), rows.Width, line);
        stream.next_in = line.data();
        stream.avail_in = uInt(line.size());
        const int flush = y + 1 == rows.Height ? Z_FINISH : Z_NO_FLUSH;
        // Until deflate leaves room in the piece, it has more to give.
        do {
            stream.next_out = piece.data();
            stream.avail_out = uInt(piece.size());
            status = deflate(&stream, flush);
            if (status == Z_BUF_ERROR) status = Z_OK; // nothing more to give until more comes in
            out.append(reinterpret_cast<const char*>(piece.data()),
                       piece.size() - stream.avail_out);
        } while (status == Z_OK && stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return status == Z_STREAM_END;
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
    if (!AppendDeflated(rows, file)) return {};
    EndChunk(file, chunk);
    EndChunk(file, BeginChunk(file, "IEND"));
    return file;
}

} // namespace lumo
