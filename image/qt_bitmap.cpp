#include "image/qt_bitmap.h"

#include <cstring>

namespace lumo {

QImage ImageOverBitmap(const Bitmap& picture) {
    if (picture.Width <= 0 || picture.Height <= 0) return {};
    return QImage(reinterpret_cast<const uchar*>(picture.Pixels.data()), picture.Width,
                  picture.Height, picture.Width * 4, QImage::Format_ARGB32);
}

Bitmap BitmapFromImage(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull()) return {};
    Bitmap picture(argb.width(), argb.height());
    for (int y = 0; y < argb.height(); ++y)
        std::memcpy(&picture.At(0, y), argb.constScanLine(y), size_t(argb.width()) * 4);
    return picture;
}

} // namespace lumo
