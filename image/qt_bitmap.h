// Between the engine's Bitmap and Qt's QImage: both hold 0xAARRGGBB words
// row by row from the top.
#pragma once

#include "platform/canvas.h"

#include <QImage>

namespace lumo {

// A QImage over the bitmap's own pixels (no copy): valid while the bitmap
// lives unchanged.
QImage ImageOverBitmap(const Bitmap& picture);
// A copy of any QImage; an empty bitmap when the conversion cannot be made.
Bitmap BitmapFromImage(const QImage& image);

} // namespace lumo
