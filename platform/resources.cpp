#include "platform/resources.h"

#include "platform/qt_text.h"

#include <QFile>

namespace lumo {

std::optional<std::string> FindResource(std::string_view name, std::string_view type) {
    if (name.empty() || type.empty()) return std::nullopt;
    const QString path =
        QStringLiteral(":/lumo/") + ToQString(type).toUpper() + '/' + ToQString(name).toUpper();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

} // namespace lumo
