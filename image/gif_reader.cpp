#include "image/gif_reader.h"

#include "image/gif_lzw.h"
#include "image/image_limits.h"
#include "platform/exception.h"

#include <algorithm>
#include <string>

namespace lumo {

namespace {

// The GIF bytes with every read checked against their end.
class GifBytes {
public:
    explicit GifBytes(std::string_view data) : data_(data) {}

    bool AtEnd() const { return pos_ >= data_.size(); }
    bool Byte(uint8_t& b) {
        if (AtEnd()) return false;
        b = static_cast<uint8_t>(data_[pos_++]);
        return true;
    }
    // The next n bytes; false (and out holds what there was) when the data ends first.
    bool Take(size_t n, std::string_view& out) {
        out = data_.substr(pos_, n);
        pos_ += out.size();
        return out.size() == n;
    }
    // The next data sub-block; false at the terminator or when the data ends.
    bool SubBlock(std::string_view& block) {
        uint8_t size = 0;
        if (!Byte(size) || size == 0) return false;
        return Take(size, block) || !block.empty();
    }
    void SkipSubBlocks() {
        std::string_view block;
        while (SubBlock(block)) {
        }
    }
    // The remaining sub-blocks as they stand, with their length bytes, up to
    // the terminator (which is passed) or the end of the data.
    std::string_view SubBlockRun() {
        const size_t start = pos_;
        while (pos_ < data_.size() && data_[pos_] != 0)
            pos_ += 1 + static_cast<uint8_t>(data_[pos_]);
        pos_ = std::min(pos_, data_.size());
        const std::string_view run = data_.substr(start, pos_ - start);
        if (pos_ < data_.size()) ++pos_;
        return run;
    }
    // Every remaining sub-block joined; a cut one counts with what there was.
    std::string JoinSubBlocks() {
        std::string joined;
        std::string_view block;
        while (SubBlock(block))
            joined.append(block);
        return joined;
    }

private:
    std::string_view data_;
    size_t pos_ = 0;
};

int Le16(std::string_view d, size_t at) {
    return static_cast<uint8_t>(d[at]) | static_cast<uint8_t>(d[at + 1]) << 8;
}

void FillPalette(std::array<uint32_t, 256>& palette, std::string_view table) {
    palette.fill(0xFF000000);
    for (size_t i = 0; i + 2 < table.size(); i += 3)
        palette[i / 3] = 0xFF000000u | static_cast<uint32_t>(static_cast<uint8_t>(table[i])) << 16 |
                         static_cast<uint32_t>(static_cast<uint8_t>(table[i + 1])) << 8 |
                         static_cast<uint8_t>(table[i + 2]);
}

// The graphic control extension waiting for the next image.
struct PendingControl {
    bool Present = false;
    uint8_t Packed = 0;
    int Delay = 0;
    int TransparentIndex = 0;
};

class GifReader {
public:
    GifReader(std::string_view data, TGifRead mode, int64_t limit)
        : in_(data), mode_(mode), limit_(limit) {}

    TGifContents Read() {
        ReadHeader();
        while (ReadBlock()) {
        }
        return std::move(gif_);
    }

private:
    enum class FrameRead { Added, Skipped, Ended };

    void ReadHeader() {
        std::string_view head;
        if (!in_.Take(13, head) || head.substr(0, 3) != "GIF") throw Exception(NotGifText);
        gif_.Width = Le16(head, 6);
        gif_.Height = Le16(head, 8);
        if (!FitsImageBudget(gif_.Width, gif_.Height, 4, 0, limit_))
            throw Exception(ImageTooLargeText);
        const uint8_t packed = static_cast<uint8_t>(head[10]);
        global_.fill(0xFF000000);
        if (packed & 0x80) {
            gif_.BitsPerPixel = (packed & 7) + 1;
            std::string_view table;
            in_.Take(size_t{3} << gif_.BitsPerPixel, table);
            FillPalette(global_, table);
        }
    }

    // False when the data has ended, by the trailer or otherwise.
    bool ReadBlock() {
        uint8_t introducer = 0, label = 0;
        if (!in_.Byte(introducer)) return false;
        if (introducer == ',') {
            if (gif_.Frames.size() >= MaxGifFrames) return false;
            const FrameRead read = ReadFrame();
            control_ = {};
            comment_.clear();
            return read != FrameRead::Ended;
        }
        if (introducer != '!' || !in_.Byte(label)) return false;
        switch (label) {
        case 0xF9: ReadControl(); return true;
        case 0xFE: comment_ = in_.JoinSubBlocks(); return true;
        case 0xFF: ReadApplication(); return true;
        case 0x01: in_.SkipSubBlocks(); return true; // plain text is not drawn
        default: return false;
        }
    }

    void ReadControl() {
        std::string_view block;
        if (!in_.SubBlock(block)) return; // the terminator came first
        if (block.size() >= 4)
            control_ = {true, static_cast<uint8_t>(block[0]), Le16(block, 1),
                        static_cast<uint8_t>(block[3])};
        in_.SkipSubBlocks();
    }

    void ReadApplication() {
        std::string_view id, data;
        if (!in_.SubBlock(id)) return;
        if (id == "NETSCAPE2.0") {
            if (!in_.SubBlock(data)) return;
            // Sub-block 1 holds the loop count; others (a buffer size) do not.
            if (data.size() >= 3 && data[0] == 1) gif_.LoopCount = Le16(data, 1);
        }
        in_.SkipSubBlocks();
    }

    FrameRead ReadFrame() {
        auto frame = std::make_shared<TGifFrame>();
        std::string_view d;
        if (!in_.Take(9, d)) return FrameRead::Ended;
        frame->Left = Le16(d, 0);
        frame->Top = Le16(d, 2);
        frame->Width = Le16(d, 4);
        frame->Height = Le16(d, 6);
        const uint8_t packed = static_cast<uint8_t>(d[8]);
        frame->Interlaced = packed & 0x40;
        frame->Palette = global_;
        if (packed & 0x80) {
            frame->Bits = (packed & 7) + 1;
            std::string_view table;
            if (!in_.Take(size_t{3} << frame->Bits, table)) return FrameRead::Ended;
            FillPalette(frame->Palette, table);
        }
        ApplyControl(*frame);
        frame->Comment = comment_;
        uint8_t codeSize = 0;
        if (!in_.Byte(codeSize)) return FrameRead::Ended;
        if (frame->Width == 0 || frame->Height == 0) {
            in_.SkipSubBlocks();
            return FrameRead::Skipped;
        }
        if (codeSize < 1 || codeSize > 11) throw Exception(CorruptGifText);
        Reserve(*frame);
        if (mode_ == TGifRead::StructureOnly) {
            in_.SkipSubBlocks();
        } else {
            frame->Pixels = DecodeGifPixels(in_.SubBlockRun(), codeSize, frame->Width,
                                            frame->Height, frame->Interlaced);
        }
        gif_.BitsPerPixel = std::max(gif_.BitsPerPixel, frame->Bits);
        gif_.HasTransparency = gif_.HasTransparency || frame->Transparent;
        gif_.Frames.push_back(std::move(frame));
        return FrameRead::Added;
    }

    void ApplyControl(TGifFrame& frame) const {
        if (!control_.Present) return;
        frame.Disposal = (control_.Packed >> 2) & 7;
        if (frame.Disposal > 3) frame.Disposal = 2; // the reserved values restore to background
        frame.Delay = control_.Delay * 10;
        frame.Transparent = control_.Packed & 1;
        frame.TransparentIndex = control_.TransparentIndex;
    }

    // The picture grows to hold the frame; its pixels, the work picture and a
    // saved area for restoring must fit the budget together.
    void Reserve(const TGifFrame& frame) {
        gif_.Width = std::max(gif_.Width, frame.Left + frame.Width);
        gif_.Height = std::max(gif_.Height, frame.Top + frame.Height);
        const int64_t pixels = int64_t{frame.Width} * frame.Height;
        frameBytes_ += pixels;
        if (frame.Disposal == 3) savedBytes_ = std::max(savedBytes_, pixels * 4);
        if (!FitsImageBudget(gif_.Width, gif_.Height, 4, frameBytes_ + savedBytes_, limit_))
            throw Exception(ImageTooLargeText);
    }

    GifBytes in_;
    TGifRead mode_;
    int64_t limit_;
    TGifContents gif_;
    std::array<uint32_t, 256> global_{};
    PendingControl control_;
    std::string comment_;
    int64_t frameBytes_ = 0, savedBytes_ = 0;
};

} // namespace

TGifContents ReadGifContents(std::string_view data, TGifRead mode, int64_t limit) {
    return GifReader(data, mode, limit).Read();
}

} // namespace lumo
