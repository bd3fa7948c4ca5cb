// The colour chooser component: it holds the chosen colour and its text, and
// keeps one chooser window, with its slots, for its own life (or its
// parent's, when that goes first).
#pragma once

#include "platform/types.h"

#include <QPointer>

#include <string>

class QWidget;

namespace lumo {

class TColorChooserDialog;

class TColorChooser {
public:
    explicit TColorChooser(QWidget* parent = nullptr);
    ~TColorChooser();
    TColorChooser(const TColorChooser&) = delete;
    TColorChooser& operator=(const TColorChooser&) = delete;

    // Shows the chooser; with OK the checked slot's colour becomes Color and
    // true is returned, with Cancel the colour stays as it was.
    bool Execute();

    TColor Color = 0;
    std::string ColorText = "#000000";

    TColorChooserDialog* Window() const; // null once its parent has freed it

private:
    QPointer<TColorChooserDialog> window_;
};

} // namespace lumo
