#include "image/jpeg_reader.h"

#include "image/image_limits.h"

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace lumo {

namespace {

// Legitimate progressive files have about ten scans; thousands of tiny ones
// only cost time.
constexpr int MaxScans = 100;

struct ErrorManager {
    jpeg_error_mgr Public; // first, so the library's pointer is ours
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

[[noreturn]] void Unwind(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->Jump, 1);
}

[[noreturn]] void ErrorExit(j_common_ptr info) {
    info->err->format_message(info, reinterpret_cast<ErrorManager*>(info->err)->Message);
    Unwind(info);
}

void IgnoreMessage(j_common_ptr, int) {}
void IgnoreOutput(j_common_ptr) {}

void LimitScans(j_common_ptr info) {
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= MaxScans) return;
    std::snprintf(reinterpret_cast<ErrorManager*>(info->err)->Message, JMSG_LENGTH_MAX,
                  "JPEG has more than %d scans", MaxScans);
    Unwind(info);
}

struct JpegSession {
    jpeg_decompress_struct Info{};
    ErrorManager Errors{};
    jpeg_progress_mgr Progress{};
    bool Created = false;

    JpegSession() {
        Info.err = jpeg_std_error(&Errors.Public);
        Errors.Public.error_exit = ErrorExit;
        Errors.Public.emit_message = IgnoreMessage;
        Errors.Public.output_message = IgnoreOutput;
        Progress.progress_monitor = LimitScans;
    }
    ~JpegSession() {
        if (Created) jpeg_destroy_decompress(&Info);
    }
    JpegSession(const JpegSession&) = delete;
    JpegSession& operator=(const JpegSession&) = delete;
};

// Each step runs the library under its own setjmp and holds no object with a
// destructor, so an error can jump back to it.

bool ReadHeader(JpegSession& s, std::string_view data) {
    if (setjmp(s.Errors.Jump)) return false;
    jpeg_create_decompress(&s.Info);
    s.Created = true;
    s.Info.progress = &s.Progress;
    s.Info.mem->max_memory_to_use = MaxImageBytes;
    jpeg_mem_src(&s.Info, reinterpret_cast<const unsigned char*>(data.data()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&s.Info, TRUE);
    return true;
}

bool IsCmyk(const JpegSession& s) {
    return s.Info.jpeg_color_space == JCS_CMYK || s.Info.jpeg_color_space == JCS_YCCK;
}

bool Start(JpegSession& s) {
    if (setjmp(s.Errors.Jump)) return false;
    // The library writes blue, green, red, alpha bytes: our 0xAARRGGBB words.
    s.Info.out_color_space = IsCmyk(s) ? JCS_CMYK : JCS_EXT_BGRA;
    jpeg_start_decompress(&s.Info);
    return true;
}

// Adobe's files store CMYK inverted.
void CmykToArgb(const unsigned char* from, uint32_t* to, size_t width, bool inverted) {
    for (size_t x = 0; x < width; ++x, from += 4) {
        uint32_t c = from[0], m = from[1], y = from[2], k = from[3];
        if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        to[x] = 0xFF000000u | (c * k / 255) << 16 | (m * k / 255) << 8 | (y * k / 255);
    }
}

bool ReadRows(JpegSession& s, uint32_t* pixels, unsigned char* cmykRow) {
    if (setjmp(s.Errors.Jump)) return false;
    const size_t width = s.Info.output_width;
    while (s.Info.output_scanline < s.Info.output_height) {
        uint32_t* to = pixels + size_t{s.Info.output_scanline} * width;
        JSAMPROW row = cmykRow ? cmykRow : reinterpret_cast<JSAMPROW>(to);
        if (jpeg_read_scanlines(&s.Info, &row, 1) != 1) break;
        if (cmykRow) CmykToArgb(cmykRow, to, width, s.Info.saw_Adobe_marker);
    }
    return true;
}

} // namespace

bool ReadJpeg(std::string_view data, Bitmap& picture, std::string& error, int64_t limit) {
    JpegSession s;
    if (!ReadHeader(s, data)) {
        error = s.Errors.Message;
        return false;
    }
    if (!FitsImageBudget(s.Info.image_width, s.Info.image_height, 4, 0, limit)) {
        error = ImageTooLargeText;
        return false;
    }
    if (!Start(s)) {
        error = s.Errors.Message;
        return false;
    }
    Bitmap decoded(static_cast<int>(s.Info.output_width), static_cast<int>(s.Info.output_height));
    std::vector<unsigned char> cmykRow(IsCmyk(s) ? size_t{s.Info.output_width} * 4 : 0);
    if (!ReadRows(s, decoded.Pixels.data(), cmykRow.empty() ? nullptr : cmykRow.data())) {
        error = s.Errors.Message;
        return false;
    }
    picture = std::move(decoded);
    return true;
}

} // namespace lumo
