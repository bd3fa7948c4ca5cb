#include "layout/inline_image.h"

#include "html/attributes.h"
#include "html/properties.h"
#include "image/gif_image.h"
#include "layout/font_run.h"
#include "layout/picture_source.h"
#include "layout/section_list.h"
#include "layout/text_section.h"
#include "platform/text.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace lumo {

namespace {

// Stand-in pictures show only in boxes at least this big, inset this much.
constexpr int StandInMinimum = 24;
constexpr int StandInInset = 4;

} // namespace

TInlineImage::TInlineImage(TSectionList& root, TSection& owner, const TAttributeList& attributes,
                           int charPos)
    : Root(&root), OwnerSection(&owner) {
    CharPos = charPos;
    bool haveHSpace = false;
    for (const auto& a : attributes) {
        if (TakePlacement(*a)) {
            haveHSpace = haveHSpace || a->Which == HSpaceTok;
            continue;
        }
        switch (a->Which) {
        case SrcTok: Source = Trim(a->Name); break;
        case AltTok: AltText = a->Name; break;
        case WidthTok:
            if (!a->Name.empty() && a->Name.back() == '%' && a->Value >= 1 && a->Value <= 100) {
                WantWidth = a->Value;
                WidthIsPercent = true;
            } else if (a->Value > 0) {
                WantWidth = a->Value;
            }
            break;
        case HeightTok:
            if (a->Value > 0) WantHeight = a->Value;
            break;
        case BorderTok: Borderless = a->Value == 0 && !a->Name.empty(); break;
        case IsMapTok: ServerMap = true; break;
        case TranspTok: TranspAttr = true; break;
        case ActiveTok: RollOver = true; break;
        case UseMapTok: {
            std::string name = UpperCase(Trim(a->Name));
            if (!name.empty() && name[0] == '#') name.erase(0, 1);
            ClientMapName = name;
            break;
        }
        default: break;
        }
    }
    if (!haveHSpace && IsFloat()) SpaceLeft = SpaceRight = 3;
}

namespace {

// Whether the style gives every side no width or no line ("border: 0",
// "border: none"): a picture in a link then goes without its frame.
bool StyleTakesEverySideAway(const TProperties& props) {
    for (int side = 0; side < 4; ++side) {
        const std::string* width = props.Text(Prop::BorderTopWidth + side);
        const std::string* line = props.Text(Prop::BorderTopStyle + side);
        const bool noWidth = width && ConvertLength(*width, TPlainNumber::Pixels, 0, props.EmSize,
                                                    props.ExSize, -1) == 0;
        const bool noLine = line && Trim(*line) == "none";
        if (!noWidth && !noLine) return false;
    }
    return true;
}

// A side of a picture's style border counts up to this many pixels.
constexpr int MaxFrameWidth = 1000;

// The border the style draws around a picture; null when no side shows.
// Most pictures name no border style, and are done with at once.
std::unique_ptr<TPictureFrame> FrameOf(const TProperties& props) {
    bool styled = false;
    for (int side = 0; side < 4; ++side)
        styled = styled || props.Text(Prop::BorderTopStyle + side);
    if (!styled) return nullptr;
    // A side with no line resolves to no width.
    TBoxValues values{};
    int autos = 0;
    ResolveBoxValues(props, 0, 0, props.EmSize, props.ExSize, values, autos);
    TPictureFrame frame;
    bool any = false;
    for (int side = 0; side < 4; ++side) {
        frame.Widths[side] = std::clamp(values[Prop::BorderTopWidth + side], 0, MaxFrameWidth);
        any = any || frame.Widths[side] > 0;
    }
    if (!any) return nullptr;
    frame.Lines = TBoxBorder::Of(props);
    return std::make_unique<TPictureFrame>(frame);
}

} // namespace

void TInlineImage::ApplyStyle(const TProperties& props) {
    if (StyleTakesEverySideAway(props)) Borderless = true;
    Frame = FrameOf(props);
    if (const auto width = StyleLength(props, Prop::Width);
        width && width->Value > 0 && (!width->Percent || width->Value <= 100)) {
        WantWidth = width->Value;
        WidthIsPercent = width->Percent;
        PercentKeepsShape = width->Percent;
    }
    if (const auto height = StyleLength(props, Prop::Height);
        height && !height->Percent && height->Value > 0)
        WantHeight = height->Value;
    TakeStylePlacement(props);
    AlignmentType side = ANone;
    if (!props.GetFloat(side)) return;
    if (side == ALeft)
        AlignCode = TAlignCode::FloatLeft;
    else if (side == ARight)
        AlignCode = TAlignCode::FloatRight;
    else if (IsFloat())
        AlignCode = TAlignCode::Baseline; // "float: none" over ALIGN=LEFT or RIGHT
}

void TInlineImage::FillBlock() {
    SpaceLeft = SpaceRight = 0;
    if (WidthIsPercent) WantWidth = 100;
}

TInlineImage::TInlineImage(TSectionList& root, TSection& owner, const TInlineImage& source)
    : TInlineObject(source), Root(&root), OwnerSection(&owner), Source(source.Source),
      AltText(source.AltText), WantWidth(source.WantWidth), WidthIsPercent(source.WidthIsPercent),
      PercentKeepsShape(source.PercentKeepsShape), WantHeight(source.WantHeight),
      SizeKnown(source.SizeKnown), Borderless(source.Borderless), LinkBorder(source.LinkBorder),
      Frame(source.Frame ? std::make_unique<TPictureFrame>(*source.Frame) : nullptr),
      ServerMap(source.ServerMap), TranspAttr(source.TranspAttr), RollOver(source.RollOver),
      ClientMapName(source.ClientMapName), state_(source.state_), name_(source.name_),
      imageWidth_(source.imageWidth_), imageHeight_(source.imageHeight_) {
    // The copy's root shares the original's cache, so the use is counted there.
    if (source.item_) {
        item_ = source.item_;
        Root->Pictures.Cache->AddUse(name_);
    }
    if (source.gif_) CopyAnimation(*source.gif_);
    // A picture still on its way is shown as its stand-in; the copy waits for nothing.
}

TInlineImage::~TInlineImage() {
    if (item_) Root->Pictures.Cache->DropUse(name_);
    Root->Pictures.Cache->Discharge(gifBytes_);
    if (Root->Resetting) return;
    if (Root->HoverImage == this) Root->HoverImage = nullptr;
    StopAnimation();
    Root->Pictures.RemoveWaiter(this);
    if (!IDName.empty()) Root->IDs.RemoveObject(IDName, this);
}

void TInlineImage::FetchPicture() {
    if (Source.empty()) {
        state_ = TPictureState::Error;
        return;
    }
    name_ = Root->OnExpandName ? Root->OnExpandName(Source) : Source;
    TImageCacheEntry* item = nullptr;
    switch (Root->Pictures.GetPicture(name_, item)) {
    case TFetch::Got: UseItem(item); break;
    case TFetch::Awaited:
        state_ = TPictureState::Placeholder;
        Root->Pictures.AddWaiter(name_, this);
        break;
    case TFetch::Failed: state_ = TPictureState::Error; break;
    }
}

void TInlineImage::UseItem(TImageCacheEntry* item) {
    item_ = item;
    state_ = TPictureState::Real;
    // Each use of a GIF animates on its own; the copies share the frames.
    if (auto* gif = dynamic_cast<TGIFImage*>(item->MImage.get())) {
        CopyAnimation(*gif);
        if (gif_ && gif_->Animated() && !RollOver) StartAnimation();
    } else if (TranspAttr && !Root->Pictures.Cache->ChargeLowerLeftCopy(*item)) {
        GiveUpPicture();
    }
}

void TInlineImage::CopyAnimation(const TGIFImage& gif) {
    const int64_t bytes = gif.CopyBytes();
    if (Root->Pictures.Cache->Charge(bytes)) {
        gif_ = gif.Clone();
        gifBytes_ = bytes;
        return;
    }
    GiveUpPicture();
}

void TInlineImage::GiveUpPicture() {
    if (item_) Root->Pictures.Cache->DropUse(name_);
    item_ = nullptr;
    state_ = TPictureState::Error;
}

void TInlineImage::StartAnimation() {
    if (!gif_ || !gif_->Animated() || Root->IsPrinting) return;
    gif_->SetAnimating(true);
    auto& list = Root->AnimatedImages;
    if (std::find(list.begin(), list.end(), this) == list.end()) list.push_back(this);
    if (Root->OnAnimationStart) Root->OnAnimationStart();
}

void TInlineImage::StopAnimation() {
    if (gif_) gif_->SetAnimating(false);
    std::erase(Root->AnimatedImages, this);
}

bool TInlineImage::Animating() const {
    return gif_ && gif_->Animating() && Root->ImagesOn;
}

void TInlineImage::RestartAnimation() {
    if (gif_) gif_->Restart();
}

bool TInlineImage::StepAnimation() {
    return Animating() && gif_->StepAnimation();
}

bool TInlineImage::SetHover(bool over) {
    if (!RollOver || !gif_ || !gif_->Animated() || state_ != TPictureState::Real) return false;
    if (gif_->FrameCount() == 2) {
        gif_->SelectFrame(over ? 2 : 1);
        return true;
    }
    if (over) {
        StartAnimation();
    } else {
        StopAnimation();
        gif_->SelectFrame(1);
    }
    return true;
}

bool TInlineImage::PictureArrived(TImageCacheEntry* item) {
    if (state_ != TPictureState::Placeholder) return false;
    if (item)
        UseItem(item);
    else
        state_ = TPictureState::Error;
    OwnerSection->ForgetWidths();
    return !SizeKnown;
}

TSize TInlineImage::PictureSize() const {
    if (state_ == TPictureState::Real) return {item_->MImage->Width(), item_->MImage->Height()};
    const Bitmap& b = state_ == TPictureState::Error ? ErrorPicture() : PlaceholderPicture();
    return {b.Width, b.Height};
}

TSize TInlineImage::SizeOfReal(int roomWidth) {
    const TSize pic = PictureSize();
    const int64_t pw = pic.cx, ph = pic.cy;
    if (WidthIsPercent) {
        const int width = ClampObjectSize(int64_t{roomWidth} * WantWidth / 100);
        if (WantHeight > 0) return {width, WantHeight};
        return {width, PercentKeepsShape ? ClampObjectSize(ph * width / pw) : pic.cy};
    }
    SizeKnown = true;
    if (WantWidth > 0 && WantHeight > 0) return {WantWidth, WantHeight};
    if (WantHeight > 0) return {ClampObjectSize(pw * WantHeight / ph), WantHeight};
    if (WantWidth > 0) return {WantWidth, ClampObjectSize(ph * WantWidth / pw)};
    return pic;
}

TSize TInlineImage::SizeOfStandIn(Canvas& canvas, int roomWidth) {
    if (WantWidth > 0 && WantHeight > 0) {
        SizeKnown = !WidthIsPercent;
        const int width =
            WidthIsPercent ? ClampObjectSize(int64_t{roomWidth} * WantWidth / 100) : WantWidth;
        return {width, WantHeight};
    }
    // The box grows to show the ALT text beside the stand-in picture.
    const TSize pic = PictureSize();
    UseFont(canvas, AltTextFont());
    const TSize text = canvas.TextExtent(AltText);
    return {std::max(pic.cx, text.cx + 26),
            std::max({pic.cy, StandInMinimum, canvas.GetTextMetrics().Height})};
}

void TInlineImage::SizeFor(Canvas& canvas, int roomWidth) {
    if (state_ == TPictureState::None && Root->ImagesOn) FetchPicture();
    if (!SizeKnown) {
        const TSize size = state_ == TPictureState::Real && Root->ImagesOn
                               ? SizeOfReal(roomWidth)
                               : SizeOfStandIn(canvas, roomWidth);
        imageWidth_ = ClampObjectSize(size.cx);
        imageHeight_ = ClampObjectSize(size.cy);
    }
    const auto& run = *OwnerSection->Runs[OwnerSection->RunIndexAt(CharPos)];
    LinkBorder = !Borderless && !Frame && run.IsLink();
    const int border = LinkBorder ? 2 : 0;
    BoxWidth = imageWidth_ + border;
    BoxHeight = imageHeight_ + border;
    if (Frame) {
        BoxWidth += Frame->Widths[TBoxBorder::Left] + Frame->Widths[TBoxBorder::Right];
        BoxHeight += Frame->Widths[TBoxBorder::Top] + Frame->Widths[TBoxBorder::Bottom];
    }
}

const TImageMap* TInlineImage::ClientMap() const {
    if (ClientMapName.empty()) return nullptr;
    for (const auto& map : Root->MapList)
        if (map->MapName == ClientMapName) return map.get();
    return nullptr;
}

void TInlineImage::Paint(Canvas& canvas, int X, int Y) {
    TRect box{X, Y, X + BoxWidth, Y + BoxHeight};
    if (Frame) {
        const int* w = Frame->Widths;
        const TRect inner{box.Left + w[TBoxBorder::Left], box.Top + w[TBoxBorder::Top],
                          box.Right - w[TBoxBorder::Right], box.Bottom - w[TBoxBorder::Bottom]};
        Frame->Lines.Paint(canvas, box, inner);
        box = inner;
    }
    if (LinkBorder) {
        const TFontRun& run = *OwnerSection->Runs[OwnerSection->RunIndexAt(CharPos)];
        canvas.SetPen(run.CurrentFont().Color, 1, PenStyle::Solid);
        canvas.SetBrush(0, BrushStyle::Clear);
        canvas.Rectangle(box);
        box = {box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1};
    }
    if (state_ != TPictureState::Real || !Root->ImagesOn) {
        PaintStandIn(canvas, box);
        return;
    }
    if (gif_) {
        gif_->Draw(canvas, box);
        return;
    }
    const Bitmap& picture = TranspAttr ? *item_->LowerLeftTransparent()
                                       : static_cast<const TBitmapImage&>(*item_->MImage).Picture;
    canvas.StretchDraw(box, picture, {0, 0, picture.Width, picture.Height}, nullptr);
}

void TInlineImage::PaintStandIn(Canvas& canvas, const TRect& box) {
    const Bitmap& picture = state_ == TPictureState::Error ? ErrorPicture() : PlaceholderPicture();
    const int width = box.Right - box.Left, height = box.Bottom - box.Top;
    if (width >= StandInMinimum && height >= StandInMinimum) {
        const int x = box.Left + StandInInset, y = box.Top + StandInInset;
        canvas.StretchDraw({x, y, x + picture.Width, y + picture.Height}, picture,
                           {0, 0, picture.Width, picture.Height}, nullptr);
    }
    canvas.SaveState();
    canvas.IntersectClipRect(box);
    if (!AltText.empty()) {
        UseFont(canvas, AltTextFont());
        const auto& run = *OwnerSection->Runs[OwnerSection->RunIndexAt(CharPos)];
        canvas.SetTextColor(LinkBorder ? run.CurrentFont().Color : TColor{0});
        canvas.SetBkMode(BkMode::Transparent);
        canvas.SetTextAlign(HAlign::Left, VAlign::Top);
        canvas.TextOut(box.Left + StandInMinimum, box.Top + StandInInset, AltText);
    }
    canvas.RestoreState();
    if (LinkBorder) return; // the link's frame stands in for the sunken one
    // A sunken frame: dark above and left, light below and right.
    canvas.SetPen(0x808080, 1, PenStyle::Solid);
    canvas.MoveTo(box.Left, box.Bottom - 1);
    canvas.LineTo(box.Left, box.Top);
    canvas.LineTo(box.Right - 1, box.Top);
    canvas.SetPen(0xFFFFFF, 1, PenStyle::Solid);
    canvas.LineTo(box.Right - 1, box.Bottom - 1);
    canvas.LineTo(box.Left, box.Bottom - 1);
}

void TInlineImage::Dump(std::string& out, int depth) const {
    static constexpr const char* StateText[] = {"none", "placeholder", "error", "picture"};
    DumpIndent(out, depth);
    out += "TImageObj " + DumpPlace() + " " + StateText[static_cast<int>(state_)] +
           (LinkBorder ? " link" : "") + " " + QuotedBytes(Source, true) + "\n";
}

} // namespace lumo
