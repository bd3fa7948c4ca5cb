#include "image/qt_image_reader.h"

#include "image/qt_bitmap.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

namespace lumo {

namespace {

// Qt refuses to allocate a picture past its own limit, with a message of its
// own. It may decode into 8 bytes a pixel (16-bit PNG) where we keep 4, so
// its limit is twice our budget: whatever our budget accepts Qt reads, and
// our check, made first, is the one that refuses, in our words.
constexpr int QtAllocationLimitMb = static_cast<int>(2 * (MaxImageBytes >> 20));

bool TooLarge(const QSize& size, int64_t limit, std::string& error) {
    if (!size.isValid() || FitsImageBudget(size.width(), size.height(), 4, 0, limit)) return false;
    error = ImageTooLargeText;
    return true;
}

} // namespace

bool ReadWithQt(std::string_view data, const char* format, Bitmap& picture, std::string& error,
                int64_t limit) {
    QImageReader::setAllocationLimit(QtAllocationLimitMb); // process-wide; Qt's default is lower
    QByteArray bytes = QByteArray::fromRawData(data.data(), static_cast<qsizetype>(data.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    if (TooLarge(reader.size(), limit, error)) return false;
    QImage image;
    if (!reader.read(&image)) {
        error = reader.errorString().toStdString();
        return false;
    }
    if (TooLarge(image.size(), limit, error)) return false;
    image.convertTo(QImage::Format_ARGB32); // in place where it can: the pixels are not held twice
    picture = BitmapFromImage(image);
    if (picture.Pixels.empty()) {
        error = ImageTooLargeText;
        return false;
    }
    return true;
}

} // namespace lumo
