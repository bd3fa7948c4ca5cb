// Pictures inside text sections (IMG). Each stands at one placeholder byte
// (4) of its section's text and takes part in line breaking with its box:
// inline, aligned to its line, or floating left or right with the text
// flowing around it. Geometry is in document pixels, as for every item.
#pragma once

#include "layout/id_name_list.h"
#include "layout/picture_source.h"
#include "platform/canvas.h"

#include <cstdint>
#include <memory>
#include <string>

namespace lumo {

class TAttributeList;
class TSectionList;
class TSection;
class TGIFImage;
class TMapItem;
class TFormControlObj;
struct TBitmapItem;

enum class TAlignCode : uint8_t { Top = 1, Middle, Bottom, Baseline, FloatLeft, FloatRight };

// What an image object shows.
enum class TPictureState { None, Placeholder, Error, Real };

class TFloatingObj : public TIDObject {
public:
    int CharPos = 0;  // index of the placeholder in the section's text
    int BoxWidth = 0; // the box, link border included, spacing not
    int BoxHeight = 0;
    TAlignCode AlignCode = TAlignCode::Baseline;
    int SpaceLeft = 0, SpaceRight = 0, SpaceTop = 0, SpaceBottom = 0;
    // Document point of the box's top left corner, set by the layout.
    int LeftX = 0;
    int PaintTop = 0;
    // Set once a float has taken its place in the current layout.
    bool Placed = false;

    bool IsFloat() const {
        return AlignCode == TAlignCode::FloatLeft || AlignCode == TAlignCode::FloatRight;
    }
    int TotalWidth() const { return BoxWidth + SpaceLeft + SpaceRight; }
    int TotalHeight() const { return BoxHeight + SpaceTop + SpaceBottom; }
    // The width the object takes on its line; floats take none.
    int LineWidth() const { return IsFloat() ? 0 : TotalWidth(); }
    int YPosition() override { return PaintTop; }
};

class TImageObj : public TFloatingObj, public TPictureWaiter {
public:
    // An IMG tag at position charPos of owner's text.
    TImageObj(TSectionList& root, TSection& owner, const TAttributeList& attributes, int charPos);
    // A copy for the print copy of the document: shares the picture.
    TImageObj(TSectionList& root, TSection& owner, const TImageObj& source);
    ~TImageObj() override;
    TImageObj(const TImageObj&) = delete;
    TImageObj& operator=(const TImageObj&) = delete;

    TSectionList* Root;
    TSection* OwnerSection;
    std::string Source; // as written in SRC
    std::string AltText;
    int WantWidth = 0; // 0 when not given
    bool WidthIsPercent = false;
    int WantHeight = 0;
    bool SizeKnown = false; // the box needs no new layout when the picture arrives
    bool Borderless = false;
    bool LinkBorder = false;
    bool ServerMap = false;
    // ACTIVE: an animated GIF that plays only while the mouse is over it
    // (a two-frame one shows its second frame).
    bool RollOver = false;
    std::string ClientMapName; // upper case, without "#"; empty without USEMAP
    std::string IDName;        // the ID it is registered under, if any
    // The image input this picture shows; a click on it submits its form.
    TFormControlObj* FormControl = nullptr;

    TPictureState State() const { return state_; }
    // The name the picture was asked for (Source made absolute).
    const std::string& PictureName() const { return name_; }
    // Fetches the picture on first use and works out the box for roomWidth
    // pixels of column.
    void SizeFor(Canvas& canvas, int roomWidth);
    // The picture came (null: it could not be decoded). True when the box
    // was not final, so the document must be laid out again.
    bool PictureArrived(TBitmapItem* item) override;
    // Draws the box at device point (X, Y).
    void Paint(Canvas& canvas, int X, int Y);
    // The client map this image uses, or null.
    const TMapItem* ClientMap() const;

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
    void UseItem(TBitmapItem* item);
    // This object's own copy of an animated picture, charged to the
    // picture budget; the error picture when the budget has no room for it.
    void CopyAnimation(const TGIFImage& gif);
    TSize PictureSize() const;
    TSize SizeOfReal(int roomWidth);
    TSize SizeOfStandIn(Canvas& canvas, int roomWidth);
    void PaintStandIn(Canvas& canvas, const TRect& box);
    void StartAnimation();
    void StopAnimation();

    TPictureState state_ = TPictureState::None;
    std::string name_;
    TBitmapItem* item_ = nullptr;          // the cached picture; one use held
    std::unique_ptr<TGIFImage> gif_;       // this object's own copy of a cached GIF
    int64_t gifBytes_ = 0;                 // what the copy is charged
    int imageWidth_ = 0, imageHeight_ = 0; // the box without the link border
};

} // namespace lumo
