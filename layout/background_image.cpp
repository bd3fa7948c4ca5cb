#include "layout/background_image.h"

#include "html/properties.h"
#include "image/gif_image.h"
#include "layout/background_tile.h"
#include "layout/section_list.h"
#include "platform/text.h"

namespace lumo {

TBackgroundImage::TBackgroundImage(TSectionList& root) : root_(&root) {}

TBackgroundImage::TBackgroundImage(TSectionList& root, const TBackgroundImage& source)
    : Source(source.Source), Position(source.Position), Repeat(source.Repeat), root_(&root) {
    // The copy's root shares the original's cache, so the use is counted there.
    if (source.state_ == TState::Real) {
        state_ = TState::Real;
        name_ = source.name_;
        item_ = source.item_;
        root_->Pictures.Cache->AddUse(name_);
    }
}

TBackgroundImage::~TBackgroundImage() {
    Release();
}

void TBackgroundImage::Release() {
    if (item_) root_->Pictures.Cache->DropUse(name_);
    item_ = nullptr;
    if (state_ == TState::Awaited && !root_->Resetting) root_->Pictures.RemoveWaiter(this);
    state_ = TState::None;
}

void TBackgroundImage::SetSource(std::string source) {
    Release();
    Source = Trim(source);
    Position.clear();
    Repeat.clear();
}

void TBackgroundImage::SetFrom(std::string source, const TProperties& props) {
    SetSource(std::move(source));
    if (const std::string* s = props.Text(Prop::BackgroundPosition))
        Position = PositionInPixels(*s, props.EmSize, props.ExSize);
    if (const std::string* s = props.Text(Prop::BackgroundRepeat)) Repeat = *s;
}

void TBackgroundImage::Load() {
    if (state_ != TState::None || Source.empty() || !root_->ImagesOn) return;
    name_ = root_->OnExpandName ? root_->OnExpandName(Source) : Source;
    switch (root_->Pictures.GetPicture(name_, item_)) {
    case TFetch::Got: state_ = TState::Real; break;
    case TFetch::Awaited:
        state_ = TState::Awaited;
        root_->Pictures.AddWaiter(name_, this);
        break;
    case TFetch::Failed: state_ = TState::Error; break;
    }
}

bool TBackgroundImage::PictureArrived(TImageCacheEntry* item) {
    if (state_ != TState::Awaited) return false;
    item_ = item;
    state_ = item ? TState::Real : TState::Error;
    return false; // a background takes no room
}

bool TBackgroundImage::Shows() const {
    return state_ == TState::Real && root_->ImagesOn;
}

TSize TBackgroundImage::Size() const {
    if (!Shows()) return {};
    return {item_->MImage->Width(), item_->MImage->Height()};
}

void TBackgroundImage::Paint(Canvas& canvas, const TRect& box, const TRect& clip) {
    if (!Shows()) return;
    // A still picture carries its mask beside it; an animated one shows its
    // first frame, its transparency in the frame's alpha.
    const Bitmap* picture = nullptr;
    const Bitmap* mask = nullptr;
    if (auto* gif = dynamic_cast<TGIFImage*>(item_->MImage.get())) {
        picture = &gif->WorkBitmap();
    } else if (auto* still = dynamic_cast<TBitmapImage*>(item_->MImage.get())) {
        picture = &still->Picture;
        mask = item_->Mask.get();
    }
    if (picture)
        PaintTiledBackground(canvas, *picture, mask, box, clip, Position, ParseTileRepeat(Repeat));
}

void TBackgroundImage::Dump(std::string& out) const {
    static constexpr const char* StateText[] = {"none", "placeholder", "error", "picture"};
    if (Source.empty()) return;
    out += std::string(" background ") + StateText[static_cast<int>(state_)] + " " +
           QuotedBytes(Source, true);
}

} // namespace lumo
