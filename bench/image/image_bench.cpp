// Picture decoding beside the libraries that do the same job: our GIF
// decoder beside giflib's DGifSlurp (both decode every frame to palette
// indices; ours composes its work picture when first drawn, timed apart as
// GifStillPicture), our JPEG reader beside plain
// libjpeg-turbo decoding to the same 32-bit pixels, and colour reduction of
// a 4000 x 3000 picture. Inputs come from bench/image/run.sh in
// $LUMO_BENCH_IMAGES. `bench_image --once NAME FILE` decodes one file once
// with the decoder of that benchmark, so run.sh can measure each one's peak
// memory alone.
#include "image/color_reduction.h"
#include "image/display_palette.h"
#include "image/gif_image.h"
#include "image/jpeg_reader.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gif_lib.h>
#include <jpeglib.h>

namespace {

using namespace lumo;

std::string ReadInput(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string Input(const char* name) {
    const char* folder = std::getenv("LUMO_BENCH_IMAGES");
    return ReadInput(std::string(folder ? folder : ".") + "/" + name);
}

struct MemoryReader {
    const std::string* Data;
    size_t At = 0;
};

int ReadGifBytes(GifFileType* file, GifByteType* to, int count) {
    auto* reader = static_cast<MemoryReader*>(file->UserData);
    const size_t n = std::min<size_t>(count, reader->Data->size() - reader->At);
    std::memcpy(to, reader->Data->data() + reader->At, n);
    reader->At += n;
    return static_cast<int>(n);
}

// giflib's whole-file read: every frame's indices.
size_t GiflibSlurp(const std::string& data) {
    MemoryReader reader{&data};
    int error = 0;
    GifFileType* file = DGifOpen(&reader, ReadGifBytes, &error);
    if (!file) return 0;
    const int frames = DGifSlurp(file) == GIF_OK ? file->ImageCount : 0;
    DGifCloseFile(file, &error);
    return frames;
}

size_t OurGif(const std::string& data) {
    TGIFImage gif;
    return gif.LoadFromData(data) ? gif.FrameCount() : 0;
}

// The frames and the composed picture of the first, ready to draw.
size_t OurGifPicture(const std::string& data) {
    TGIFImage gif;
    return gif.LoadFromData(data) ? gif.WorkBitmap().Pixels.size() : 0;
}

// Plain libjpeg-turbo: the same 32-bit pixels, with its default error handler.
size_t LibjpegDecode(const std::string& data) {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.data()), data.size());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    std::vector<unsigned char> pixels(size_t{info.output_width} * info.output_height * 4);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &pixels[size_t{info.output_scanline} * info.output_width * 4];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return pixels.size();
}

size_t OurJpeg(const std::string& data) {
    Bitmap picture;
    std::string error;
    return ReadJpeg(data, picture, error) ? picture.Pixels.size() * 4 : 0;
}

void Run(benchmark::State& state, const char* file, size_t (*decode)(const std::string&)) {
    const std::string data = Input(file);
    if (data.empty()) state.SkipWithError("missing input; run bench/image/run.sh");
    for (auto _ : state)
        benchmark::DoNotOptimize(decode(data));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}

const struct {
    const char* Name;
    const char* File;
    size_t (*Decode)(const std::string&);
} Decoders[] = {
    {"GifStill", "still.gif", OurGif},
    {"GifStillPicture", "still.gif", OurGifPicture},
    {"GiflibStill", "still.gif", GiflibSlurp},
    {"GifAnimation", "animation.gif", OurGif},
    {"GiflibAnimation", "animation.gif", GiflibSlurp},
    {"Jpeg", "photo.jpg", OurJpeg},
    {"Libjpeg", "photo.jpg", LibjpegDecode},
};

void ColorReduction(benchmark::State& state) {
    QImage picture(4000, 3000, QImage::Format_RGB32);
    std::mt19937 random(1);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            line[x] = qRgb(x * 255 / 4000, y * 255 / 3000, (x + y) % 256 ^ (random() & 15));
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(ReduceColors(picture, SharedPalette()));
}

} // namespace

BENCHMARK(ColorReduction)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--once") == 0) { // --once NAME FILE
        for (const auto& d : Decoders)
            if (std::strcmp(argv[2], d.Name) == 0) return d.Decode(ReadInput(argv[3])) > 0 ? 0 : 1;
        return 2;
    }
    for (const auto& d : Decoders)
        benchmark::RegisterBenchmark(d.Name, [&d](benchmark::State& s) {
            Run(s, d.File, d.Decode);
        })->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
