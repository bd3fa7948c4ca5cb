// The live widgets of a document's form controls, children of the viewer's
// paint panel. A widget is made the first time its control comes into view
// (or takes the focus), and the plain ones (edits, buttons, boxes, drop-downs)
// pass on to controls of their kind coming into view when theirs leave it, so
// a page of thousands of controls costs what its visible part costs, in time
// and in widgets. A widget reads and writes its control's current state, so
// everything else (reset, submission, printing) works from the document.
//
// Placing runs before painting, never inside a paint: after every layout,
// scroll and resize the viewer calls Place, which shows and moves the widgets
// that meet the panel and hides those that left it, in time that grows with
// the controls in view, not with all of them.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLineEdit;

namespace lumo {

class TFormControl;
class TSectionList;

class TFormWidgets : public QObject {
public:
    // Widgets go on panel; scrollIntoView(control) is called when a control
    // takes the focus (the viewer brings it into view and places again).
    TFormWidgets(QWidget& panel, std::function<void(TFormControl&)> scrollIntoView);
    ~TFormWidgets() override;

    // Forgets every widget; called before the document's controls go.
    void Clear();
    // The document was laid out again: the controls' boxes moved.
    void DocumentLaidOut(TSectionList& root);
    // Shows the widgets of the controls that meet the panel showing the
    // document from (scrollX, scrollY), hides the rest.
    void Place(int scrollX, int scrollY);
    // The control's widget, made if it has none yet; null for controls shown
    // without one (hidden and image inputs) or after Clear.
    QWidget* WidgetOf(TFormControl& control);
    // The widgets show their controls' current state again (after a reset).
    void Refresh(const std::vector<TFormControl*>& controls);
    // A control was clicked by the user: called before a button does its
    // work; the handler may replace the document.
    std::function<void(TFormControl&)> OnObjectClick;

    // Asks which file a file input sends, starting from its current text;
    // nothing when the user cancels. Unset, the platform's file dialog asks.
    std::function<std::optional<std::string>(const std::string& current)> ChooseFile;

    // Widgets made so far and shown now (for tests and benchmarks).
    int MadeCount() const;
    int ShownCount() const { return static_cast<int>(shown_.size()); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* Make(TFormControl& control);
    // A spare widget of the control's kind, given the control's settings;
    // null when there is none.
    QWidget* Recycle(TFormControl& control);
    // The control left the view: its widget becomes a spare, when its kind
    // passes widgets on.
    void Release(TFormControl& control);
    // Ties widget to control: name, state and signals.
    void Adopt(TFormControl& control, QWidget* widget);
    void Connect(TFormControl& control, QWidget* widget);
    void ShowState(TFormControl& control, QWidget* widget);
    // Tab and Shift+Tab: the next control with a widget in document order.
    bool MoveFocus(TFormControl& from, int step);
    TFormControl* ControlOf(QObject* widget) const;
    // Raises OnObjectClick; false when the document went in the handler, so
    // control must not be touched any more.
    bool Click(TFormControl& control);
    // The Browse button of a file input: the chosen name goes into edit.
    void Browse(QLineEdit& edit);

    QWidget& panel_;
    std::function<void(TFormControl&)> scrollIntoView_;
    TSectionList* root_ = nullptr;
    std::vector<QPointer<QWidget>> widgets_; // by control Index
    // Hidden widgets no control holds, by kind, for the next to come into view.
    std::vector<std::vector<QPointer<QWidget>>> spare_;
    std::vector<TFormControl*> byTop_; // controls with widgets, by box top
    int tallest_ = 0;                  // the highest box
    std::vector<TFormControl*> shown_;
    int scrollX_ = 0, scrollY_ = 0;
    bool refreshing_ = false; // widget signals from ShowState are not the user's
    unsigned generation_ = 0; // counts Clear calls: a control of an older one is gone
};

} // namespace lumo
