// Controls made under the object names that language files and tests find
// them by.
#pragma once

#include <QPushButton>
#include <QString>

namespace lumo {

template <class T>
T* Named(T* object, const QString& name) {
    object->setObjectName(name);
    return object;
}

// A button that Enter does not press unless the dialog makes it the default.
inline QPushButton* NamedButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = Named(new QPushButton(QString::fromLatin1(caption), parent), name);
    button->setAutoDefault(false);
    return button;
}

} // namespace lumo
