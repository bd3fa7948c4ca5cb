// Pictures inside text sections (IMG). Each stands at one placeholder byte
// (4) of its section's text and takes part in line breaking with its box.
#pragma once

#include "layout/box_border.h"
#include "layout/inline_object.h"
#include "layout/picture_source.h"

#include <memory>
#include <string>

namespace lumo {

class TAttributeList;
class TSectionList;
class TSection;
class TGIFImage;
class TImageMap;
class TFormControl;
struct TImageCacheEntry;

// What an image object shows.
enum class TPictureState { None, Placeholder, Error, Real };

// A picture's border from its style: each side's width, line and colour.
struct TPictureFrame {
    int Widths[4] = {}; // top, right, bottom, left
    TBoxBorder Lines;
};

class TInlineImage : public TInlineObject, public TPictureWaiter {
public:
    // An IMG tag at position charPos of owner's text.
    TInlineImage(TSectionList& root, TSection& owner, const TAttributeList& attributes,
                 int charPos);
    // A copy for the print copy of the document: shares the picture.
    TInlineImage(TSectionList& root, TSection& owner, const TInlineImage& source);
    ~TInlineImage() override;
    TInlineImage(const TInlineImage&) = delete;
    TInlineImage& operator=(const TInlineImage&) = delete;

    TSectionList* Root;
    TSection* OwnerSection;
    std::string Source; // as written in SRC
    std::string AltText;
    int WantWidth = 0; // 0 when not given
    bool WidthIsPercent = false;
    // A style sheet's percentage width with no height scales the height
    // with it; a WIDTH attribute's keeps the picture's own.
    bool PercentKeepsShape = false;
    int WantHeight = 0;
    bool SizeKnown = false; // the box needs no new layout when the picture arrives
    bool Borderless = false;
    bool LinkBorder = false;
    // The style's border, in place of a link's frame; null when it has none.
    std::unique_ptr<TPictureFrame> Frame;
    bool ServerMap = false;
    // TRANSP: the colour of the picture's lower-left pixel is transparent.
    bool TranspAttr = false;
    // ACTIVE: an animated GIF that plays only while the mouse is over it
    // (a two-frame one shows its second frame).
    bool RollOver = false;
    std::string ClientMapName; // upper case, without "#"; empty without USEMAP
    std::string IDName;        // the ID it is registered under, if any
    // The image input this picture shows; a click on it submits its form.
    TFormControl* FormControl = nullptr;

    // The style's width, height, float, vertical alignment and side
    // margins, over what the attributes said.
    void ApplyStyle(const TProperties& props);
    // Shown as a block: the block has taken the side margins and the
    // width, which the picture then fills.
    void FillBlock();

    TPictureState State() const { return state_; }
    // The name the picture was asked for (Source made absolute).
    const std::string& PictureName() const { return name_; }
    // Fetches the picture on first use and works out the box for roomWidth
    // pixels of column.
    void SizeFor(Canvas& canvas, int roomWidth);
    // The picture came (null: it could not be decoded). True when the box
    // was not final, so the document must be laid out again.
    bool PictureArrived(TImageCacheEntry* item) override;
    void Paint(Canvas& canvas, int X, int Y) override;
    // The client map this image uses, or null.
    const TImageMap* ClientMap() const;

    // An animated GIF that is playing.
    bool Animating() const;
    // The time step of an animation; true when the picture changed.
    bool StepAnimation();
    // A new layout plays the picture again from its first frame.
    void RestartAnimation();
    // The mouse entered or left a roll-over image; true when it changed.
    bool SetHover(bool over);
    // The box in document pixels.
    TRect BoxRect() const { return {LeftX, PaintTop, LeftX + BoxWidth, PaintTop + BoxHeight}; }

    void Dump(std::string& out, int depth) const;

private:
    void FetchPicture();
    void UseItem(TImageCacheEntry* item);
    // This object's own copy of an animated picture, charged to the
    // picture budget; the error picture when the budget has no room for it.
    void CopyAnimation(const TGIFImage& gif);
    // The picture would take the page past its picture budget: the error
    // picture instead.
    void GiveUpPicture();
    TSize PictureSize() const;
    TSize SizeOfReal(int roomWidth);
    TSize SizeOfStandIn(Canvas& canvas, int roomWidth);
    void PaintStandIn(Canvas& canvas, const TRect& box);
    void StartAnimation();
    void StopAnimation();

    TPictureState state_ = TPictureState::None;
    std::string name_;
    TImageCacheEntry* item_ = nullptr;     // the cached picture; one use held
    std::unique_ptr<TGIFImage> gif_;       // this object's own copy of a cached GIF
    int64_t gifBytes_ = 0;                 // what the copy is charged
    int imageWidth_ = 0, imageHeight_ = 0; // the box without the link border
};

} // namespace lumo
