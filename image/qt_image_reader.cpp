#include "image/qt_image_reader.h"

#include "image/image_limits.h"
#include "image/qt_bitmap.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

namespace lumo {

bool ReadWithQt(std::string_view data, const char* format, Bitmap& picture, std::string& error) {
    QByteArray bytes = QByteArray::fromRawData(data.data(), static_cast<qsizetype>(data.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    if (const QSize size = reader.size();
        size.isValid() && !FitsImageBudget(size.width(), size.height(), 4)) {
        error = ImageTooLargeText;
        return false;
    }
    QImage image;
    if (!reader.read(&image)) {
        error = reader.errorString().toStdString();
        return false;
    }
    picture = BitmapFromImage(image);
    if (picture.Pixels.empty()) {
        error = ImageTooLargeText;
        return false;
    }
    return true;
}

} // namespace lumo
