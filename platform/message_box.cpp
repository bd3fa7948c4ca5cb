#include "platform/message_box.h"

#include "platform/qt_text.h"

#include <QApplication>
#include <QMessageBox>

namespace lumo {
namespace {

QMessageBox::Icon IconOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Information: return QMessageBox::Information;
    case MessageKind::Warning: return QMessageBox::Warning;
    case MessageKind::Error: return QMessageBox::Critical;
    case MessageKind::Question: return QMessageBox::Question;
    case MessageKind::Plain: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

MessageAnswer AnswerOf(int button) {
    switch (button) {
    case QMessageBox::Cancel: return MessageAnswer::Cancel;
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    default: return MessageAnswer::Ok;
    }
}

class QtMessageBoxes : public MessageBoxes {
public:
    MessageAnswer Show(MessageKind kind, const std::string& title, const std::string& text,
                       MessageButtons buttons) override {
        QMessageBox box(IconOf(kind), ToQString(title), ToQString(text), ButtonsOf(buttons),
                        QApplication::activeWindow());
        return AnswerOf(box.exec());
    }
};

QtMessageBoxes qtBoxes;
MessageBoxes* current = &qtBoxes;
std::string title = "Lumo 10";

} // namespace

MessageBoxes& TheMessageBoxes() {
    return *current;
}

MessageBoxes* SetMessageBoxes(MessageBoxes* boxes) {
    MessageBoxes* previous = current;
    current = boxes ? boxes : &qtBoxes;
    return previous;
}

void SetApplicationTitle(const std::string& text) {
    title = text;
}
const std::string& ApplicationTitle() {
    return title;
}

void ShowMessage(const std::string& text) {
    TheMessageBoxes().Show(MessageKind::Plain, title, text, MessageButtons::Ok);
}

void ShowErrorMessage(const std::string& text) {
    TheMessageBoxes().Show(MessageKind::Error, title, text, MessageButtons::Ok);
}

} // namespace lumo
