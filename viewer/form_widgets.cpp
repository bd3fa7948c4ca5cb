#include "viewer/form_widgets.h"

#include "layout/section_list.h"
#include "platform/qt_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace lumo {

namespace {

constexpr int DropDownLines = 8;
constexpr int MaxEditLength = 32767; // QLineEdit's own

QFont ControlFont(const TFormControl& control) {
    QFont font(ToQString(control.FontName));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(10);
    return font;
}

// The page's texts are in its code page, and so is what the user types.
TCodePage PageOf(const TFormControl& control) {
    return control.Root ? control.Root->CodePage : TCodePage::Windows1252;
}

QString PageText(const TFormControl& control, std::string_view bytes) {
    return DecodeText(bytes, PageOf(control));
}

QStringList OptionTexts(const TFormControl& control) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(control.Options.size()));
    for (const TControlOption& option : control.Options)
        texts.push_back(PageText(control, option.Text));
    return texts;
}

// The text area's text with the user's line breaks as CR LF.
std::string WithCrLf(const QString& text, TCodePage page) {
    std::string plain = EncodeFormText(text, page);
    std::string out;
    out.reserve(plain.size() + plain.size() / 16);
    for (const char c : plain) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

QString WithoutCr(std::string_view text, TCodePage page) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text)
        if (c != '\r') out += c;
    return FormText(out, page);
}

// A file input: its edit box with the Browse button at its right. The
// box passes the focus to the edit.
class TFileBox : public QWidget {
public:
    explicit TFileBox(QWidget& parent)
        : QWidget(&parent), Edit(new QLineEdit(this)),
          Button(new QPushButton(ToQString(BrowseCaption), this)) {
        setFocusProxy(Edit);
        Button->setFocusPolicy(Qt::StrongFocus);
    }
    void SetButtonWidth(int width) {
        if (width == buttonWidth_) return;
        buttonWidth_ = width;
        Arrange();
    }

    QLineEdit* const Edit;
    QPushButton* const Button;

protected:
    void resizeEvent(QResizeEvent*) override { Arrange(); }

private:
    void Arrange() {
        const int button = std::min(buttonWidth_, width());
        Edit->setGeometry(0, 0, width() - button, height());
        Button->setGeometry(width() - button, 0, button, height());
    }

    int buttonWidth_ = 0;
};

// The one-line edit of an edit, password or file control's widget.
QLineEdit* LineEditOf(QWidget* widget) {
    if (auto* box = dynamic_cast<TFileBox*>(widget)) return box->Edit;
    return static_cast<QLineEdit*>(widget);
}

void SetUpEdit(QLineEdit& edit, const TFormControl& control) {
    edit.setMaxLength(control.MaxLength > 0 ? control.MaxLength : MaxEditLength);
    edit.setEchoMode(control.Kind == TControlKind::Password ? QLineEdit::Password
                                                            : QLineEdit::Normal);
    edit.setReadOnly(control.ReadOnly);
}

// Kinds whose widgets pass from a control that left the view to one that
// came into it: plain widgets whose every setting the control gives again.
bool Recycled(TControlKind kind) {
    switch (kind) {
    case TControlKind::Edit:
    case TControlKind::Password:
    case TControlKind::Submit:
    case TControlKind::Reset:
    case TControlKind::Button:
    case TControlKind::CheckBox:
    case TControlKind::Radio:
    case TControlKind::Combo: return true;
    default: return false;
    }
}

bool ClickedByMouse(TControlKind kind) {
    switch (kind) {
    case TControlKind::Edit:
    case TControlKind::Password:
    case TControlKind::File:
    case TControlKind::ListBox:
    case TControlKind::TextArea: return true;
    default: return false;
    }
}

} // namespace

TFormWidgets::TFormWidgets(QWidget& panel, std::function<void(TFormControl&)> scrollIntoView)
    : QObject(&panel), panel_(panel), scrollIntoView_(std::move(scrollIntoView)),
      spare_(static_cast<size_t>(TControlKind::TextArea) + 1) {}

TFormWidgets::~TFormWidgets() {
    Clear();
}

void TFormWidgets::Clear() {
    const auto discard = [this](QWidget* widget) {
        if (!widget) return;
        // The control goes with the document: nothing may reach it from here
        // on, and a widget in the middle of its own event goes later.
        widget->removeEventFilter(this);
        QObject::disconnect(widget, nullptr, nullptr, nullptr);
        for (QObject* part : widget->findChildren<QObject*>()) {
            part->removeEventFilter(this);
            QObject::disconnect(part, nullptr, this, nullptr);
        }
        widget->hide();
        widget->deleteLater();
    };
    for (QPointer<QWidget>& widget : widgets_)
        discard(widget);
    for (auto& spares : spare_) {
        for (QPointer<QWidget>& widget : spares)
            discard(widget);
        spares.clear();
    }
    widgets_.clear();
    ++generation_;
    byTop_.clear();
    shown_.clear();
    tallest_ = 0;
    root_ = nullptr;
}

int TFormWidgets::MadeCount() const {
    const auto live = [](const std::vector<QPointer<QWidget>>& widgets) {
        return static_cast<int>(std::count_if(widgets.begin(), widgets.end(),
                                              [](const auto& w) { return !w.isNull(); }));
    };
    int count = live(widgets_);
    for (const auto& spares : spare_)
        count += live(spares);
    return count;
}

void TFormWidgets::DocumentLaidOut(TSectionList& root) {
    root_ = &root;
    widgets_.resize(root.FormControls.size());
    byTop_.clear();
    tallest_ = 0;
    for (const auto& control : root.FormControls) {
        if (!control->HasWidget() || control->CharPos < 0 || control->Invisible) continue;
        byTop_.push_back(control.get());
        tallest_ = std::max(tallest_, control->BoxHeight);
    }
    std::stable_sort(byTop_.begin(), byTop_.end(),
                     [](const auto* a, const auto* b) { return a->PaintTop < b->PaintTop; });
}

void TFormWidgets::Place(int scrollX, int scrollY) {
    scrollX_ = scrollX;
    scrollY_ = scrollY;
    if (!root_) return;
    const int top = scrollY, bottom = scrollY + panel_.height();
    const int left = scrollX, right = scrollX + panel_.width();
    // Only boxes whose top lies within one tallest box above the view can
    // reach into it.
    auto first = std::lower_bound(byTop_.begin(), byTop_.end(), top - tallest_,
                                  [](const auto* c, int y) { return c->PaintTop < y; });
    std::vector<TFormControl*> now;
    for (auto it = first; it != byTop_.end() && (*it)->PaintTop < bottom; ++it) {
        TFormControl& c = **it;
        if (c.PaintTop + c.BoxHeight <= top || c.LeftX >= right || c.LeftX + c.BoxWidth <= left)
            continue;
        now.push_back(&c);
    }
    for (TFormControl* c : shown_)
        if (std::find(now.begin(), now.end(), c) == now.end())
            if (QWidget* w = widgets_[c->Index]) {
                // A widget with the focus stays in the chain, out of sight.
                if (w->hasFocus()) {
                    w->move(-4000, w->y());
                } else {
                    w->hide();
                    Release(*c);
                }
            }
    for (TFormControl* c : now) {
        QWidget* w = WidgetOf(*c);
        if (!w) continue;
        w->setGeometry(c->LeftX - scrollX, c->PaintTop - scrollY, c->BoxWidth, c->BoxHeight);
        if (c->Kind == TControlKind::File)
            static_cast<TFileBox*>(w)->SetButtonWidth(c->BrowseWidth);
        w->show();
    }
    shown_ = std::move(now);
}

QWidget* TFormWidgets::WidgetOf(TFormControl& control) {
    if (!root_ || !control.HasWidget() || control.Index >= static_cast<int>(widgets_.size()))
        return nullptr;
    QPointer<QWidget>& widget = widgets_[control.Index];
    if (!widget) widget = Recycle(control);
    if (!widget) widget = Make(control);
    return widget;
}

void TFormWidgets::Release(TFormControl& control) {
    if (!Recycled(control.Kind)) return;
    QPointer<QWidget>& widget = widgets_[control.Index];
    spare_[static_cast<size_t>(control.Kind)].push_back(widget);
    widget = nullptr;
}

QWidget* TFormWidgets::Recycle(TFormControl& control) {
    auto& spares = spare_[static_cast<size_t>(control.Kind)];
    while (!spares.empty() && !spares.back())
        spares.pop_back();
    if (spares.empty()) return nullptr;
    QWidget* widget = spares.back();
    spares.pop_back();
    // What tied it to its former control goes; the new one's settings come.
    QObject::disconnect(widget, nullptr, this, nullptr);
    switch (control.Kind) {
    case TControlKind::Edit:
    case TControlKind::Password: SetUpEdit(*static_cast<QLineEdit*>(widget), control); break;
    case TControlKind::Submit:
    case TControlKind::Reset:
    case TControlKind::Button:
        static_cast<QPushButton*>(widget)->setText(PageText(control, control.Caption()));
        break;
    case TControlKind::Combo: {
        auto* combo = static_cast<QComboBox*>(widget);
        combo->clear();
        combo->addItems(OptionTexts(control));
        break;
    }
    default: break;
    }
    Adopt(control, widget);
    return widget;
}

QWidget* TFormWidgets::Make(TFormControl& control) {
    QWidget* widget = nullptr;
    switch (control.Kind) {
    case TControlKind::Edit:
    case TControlKind::Password: {
        auto* edit = new QLineEdit(&panel_);
        SetUpEdit(*edit, control);
        widget = edit;
        break;
    }
    case TControlKind::File: {
        auto* box = new TFileBox(panel_);
        SetUpEdit(*box->Edit, control);
        box->SetButtonWidth(control.BrowseWidth);
        // Keys and clicks arrive at the parts.
        box->Edit->installEventFilter(this);
        box->Button->installEventFilter(this);
        widget = box;
        break;
    }
    case TControlKind::Submit:
    case TControlKind::Reset:
    case TControlKind::Button:
        widget = new QPushButton(PageText(control, control.Caption()), &panel_);
        break;
    case TControlKind::CheckBox: widget = new QCheckBox(&panel_); break;
    case TControlKind::Radio: {
        auto* radio = new QRadioButton(&panel_);
        // Groups are the form's business: radios of other forms or names
        // share this panel.
        radio->setAutoExclusive(false);
        widget = radio;
        break;
    }
    case TControlKind::ListBox: {
        auto* list = new QListWidget(&panel_);
        list->setUniformItemSizes(true);
        list->setSelectionMode(control.Multiple ? QAbstractItemView::ExtendedSelection
                                                : QAbstractItemView::SingleSelection);
        list->addItems(OptionTexts(control));
        widget = list;
        break;
    }
    case TControlKind::Combo: {
        auto* combo = new QComboBox(&panel_);
        combo->setMaxVisibleItems(DropDownLines);
        combo->addItems(OptionTexts(control));
        widget = combo;
        break;
    }
    case TControlKind::TextArea: {
        auto* memo = new QPlainTextEdit(&panel_);
        memo->setTabChangesFocus(true);
        memo->setReadOnly(control.ReadOnly);
        memo->setLineWrapMode(control.WordWrap ? QPlainTextEdit::WidgetWidth
                                               : QPlainTextEdit::NoWrap);
        memo->setHorizontalScrollBarPolicy(control.WordWrap ? Qt::ScrollBarAlwaysOff
                                                            : Qt::ScrollBarAlwaysOn);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        widget = memo;
        break;
    }
    case TControlKind::Hidden:
    case TControlKind::Image: return nullptr;
    }
    widget->setFont(ControlFont(control));
    // No background of their own: around a radio button's circle the cell's
    // or the page's colour (or picture) shows, as the paint panel drew it.
    widget->setAutoFillBackground(false);
    widget->setFocusPolicy(Qt::StrongFocus);
    widget->setGeometry(0, -400, control.BoxWidth, control.BoxHeight);
    widget->installEventFilter(this);
    // Mouse input of lists and memos arrives at their viewport.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget))
        area->viewport()->installEventFilter(this);
    Adopt(control, widget);
    return widget;
}

void TFormWidgets::Adopt(TFormControl& control, QWidget* widget) {
    widget->setObjectName(ToQString(control.Name));
    widget->setEnabled(!control.Disabled);
    ShowState(control, widget);
    Connect(control, widget);
}

void TFormWidgets::ShowState(TFormControl& control, QWidget* widget) {
    refreshing_ = true;
    switch (control.Kind) {
    case TControlKind::Edit:
    case TControlKind::Password:
        LineEditOf(widget)->setText(FormText(control.Text, PageOf(control)));
        break;
    case TControlKind::File: LineEditOf(widget)->setText(ToQString(control.Text)); break;
    case TControlKind::CheckBox:
    case TControlKind::Radio:
        static_cast<QAbstractButton*>(widget)->setChecked(control.Checked);
        break;
    case TControlKind::ListBox: {
        auto* list = static_cast<QListWidget*>(widget);
        list->clearSelection();
        for (size_t i = 0; i < control.Chosen.size(); ++i)
            if (control.Chosen[i]) {
                if (control.Multiple)
                    list->item(static_cast<int>(i))->setSelected(true);
                else
                    list->setCurrentRow(static_cast<int>(i));
            }
        list->scrollToTop();
        break;
    }
    case TControlKind::Combo: {
        const auto it = std::find(control.Chosen.begin(), control.Chosen.end(), 1);
        static_cast<QComboBox*>(widget)->setCurrentIndex(
            it == control.Chosen.end() ? -1 : static_cast<int>(it - control.Chosen.begin()));
        break;
    }
    case TControlKind::TextArea: {
        auto* memo = static_cast<QPlainTextEdit*>(widget);
        memo->setPlainText(WithoutCr(control.Text, PageOf(control)));
        memo->moveCursor(QTextCursor::Start);
        break;
    }
    default: break;
    }
    refreshing_ = false;
}

void TFormWidgets::Connect(TFormControl& control, QWidget* widget) {
    TFormControl* c = &control;
    switch (control.Kind) {
    case TControlKind::Edit:
    case TControlKind::Password:
    case TControlKind::File: {
        QLineEdit* edit = LineEditOf(widget);
        // A file's name is no text of the page.
        connect(edit, &QLineEdit::textChanged, this, [this, c](const QString& text) {
            if (refreshing_) return;
            c->Text = c->Kind == TControlKind::File ? FromQString(text)
                                                    : EncodeFormText(text, PageOf(*c));
        });
        connect(edit, &QLineEdit::returnPressed, this, [c] { c->Root->SubmitForm(*c); });
        if (auto* box = dynamic_cast<TFileBox*>(widget))
            connect(box->Button, &QPushButton::clicked, this, [this, c, edit] {
                if (Click(*c)) Browse(*edit);
            });
        break;
    }
    case TControlKind::Submit:
    case TControlKind::Reset:
    case TControlKind::Button:
        connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, this, [this, c] {
            if (!Click(*c)) return;
            if (c->Kind == TControlKind::Submit) c->Root->SubmitForm(*c);
            if (c->Kind != TControlKind::Reset || !c->MyForm) return;
            c->MyForm->ResetControls();
            Refresh(c->MyForm->Controls);
        });
        break;
    case TControlKind::CheckBox:
        connect(static_cast<QCheckBox*>(widget), &QCheckBox::toggled, this, [this, c](bool on) {
            if (!refreshing_) c->Checked = on;
        });
        connect(static_cast<QCheckBox*>(widget), &QCheckBox::clicked, this,
                [this, c] { Click(*c); });
        break;
    case TControlKind::Radio: {
        auto* radio = static_cast<QRadioButton*>(widget);
        connect(radio, &QRadioButton::clicked, this, [this, c, radio] {
            // A click never unchecks a radio button; it checks it and
            // unchecks the rest of its group.
            refreshing_ = true;
            radio->setChecked(true);
            refreshing_ = false;
            c->Checked = true;
            if (c->MyForm) Refresh(c->MyForm->UncheckOtherRadios(*c));
            Click(*c);
        });
        break;
    }
    case TControlKind::ListBox: {
        auto* list = static_cast<QListWidget*>(widget);
        connect(list, &QListWidget::itemSelectionChanged, this, [this, c, list] {
            if (refreshing_) return;
            std::fill(c->Chosen.begin(), c->Chosen.end(), 0);
            for (const QModelIndex& index : list->selectionModel()->selectedIndexes())
                if (index.row() < static_cast<int>(c->Chosen.size())) c->Chosen[index.row()] = 1;
        });
        break;
    }
    case TControlKind::Combo:
        connect(static_cast<QComboBox*>(widget), &QComboBox::currentIndexChanged, this,
                [this, c](int index) {
                    if (refreshing_) return;
                    std::fill(c->Chosen.begin(), c->Chosen.end(), 0);
                    if (index >= 0 && index < static_cast<int>(c->Chosen.size()))
                        c->Chosen[index] = 1;
                });
        connect(static_cast<QComboBox*>(widget), &QComboBox::activated, this,
                [this, c] { Click(*c); });
        break;
    case TControlKind::TextArea: {
        auto* memo = static_cast<QPlainTextEdit*>(widget);
        connect(memo, &QPlainTextEdit::textChanged, this, [this, c, memo] {
            if (!refreshing_) c->Text = WithCrLf(memo->toPlainText(), PageOf(*c));
        });
        break;
    }
    default: break;
    }
}

void TFormWidgets::Refresh(const std::vector<TFormControl*>& controls) {
    for (TFormControl* control : controls)
        if (control->Index < static_cast<int>(widgets_.size()))
            if (QWidget* widget = widgets_[control->Index]) ShowState(*control, widget);
}

void TFormWidgets::Browse(QLineEdit& edit) {
    const unsigned generation = generation_;
    const QPointer<TFormWidgets> self(this);
    const QPointer<QLineEdit> alive(&edit);
    const std::string current = FromQString(edit.text());
    std::optional<std::string> chosen;
    if (ChooseFile) {
        chosen = ChooseFile(current);
    } else if (const QString name =
                   QFileDialog::getOpenFileName(&panel_, QString(), ToQString(current));
               !name.isEmpty()) {
        chosen = FromQString(name);
    }
    // The dialog ran the event loop: the page may have gone meanwhile.
    if (!self || generation_ != generation || !alive || !chosen) return;
    edit.setText(ToQString(*chosen));
}

bool TFormWidgets::Click(TFormControl& control) {
    if (!OnObjectClick) return true;
    const unsigned generation = generation_;
    const QPointer<TFormWidgets> self(this);
    OnObjectClick(control);
    return self && generation_ == generation;
}

TFormControl* TFormWidgets::ControlOf(QObject* widget) const {
    if (!root_) return nullptr;
    // A viewport or a part of a composite control stands for its control.
    for (QObject* parent = widget->parent(); parent && parent != &panel_; parent = parent->parent())
        widget = parent;
    for (const TFormControl* c : shown_)
        if (widgets_[c->Index] == widget) return const_cast<TFormControl*>(c);
    for (size_t i = 0; i < widgets_.size(); ++i)
        if (widgets_[i] == widget) return root_->FormControls[i].get();
    return nullptr;
}

bool TFormWidgets::MoveFocus(TFormControl& from, int step) {
    const int count = static_cast<int>(root_->FormControls.size());
    for (int i = from.Index + step; i >= 0 && i < count; i += step) {
        TFormControl& next = *root_->FormControls[i];
        if (!next.HasWidget() || next.CharPos < 0 || next.Disabled || next.Invisible) continue;
        QWidget* widget = WidgetOf(next);
        if (!widget) continue;
        scrollIntoView_(next);
        widget->show();
        // Backwards into a file input lands on its button, its last part.
        if (auto* box = dynamic_cast<TFileBox*>(widget); box && step < 0) widget = box->Button;
        widget->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
    return false;
}

bool TFormWidgets::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool tab = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
        const bool backtab = key->key() == Qt::Key_Backtab ||
                             (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier));
        // Within a file input the edit and its button take turns.
        if (auto* box = dynamic_cast<TFileBox*>(watched->parent())) {
            if (tab && watched == box->Edit) {
                box->Button->setFocus(Qt::TabFocusReason);
                return true;
            }
            if (backtab && watched == box->Button) {
                box->Edit->setFocus(Qt::BacktabFocusReason);
                return true;
            }
        }
        if (tab || backtab)
            if (TFormControl* control = ControlOf(watched))
                return MoveFocus(*control, tab ? 1 : -1);
    } else if (event->type() == QEvent::MouseButtonRelease) {
        // Buttons, boxes and drop-downs report their clicks through their
        // signals, keyboard clicks included; the rest are clicked with the mouse.
        if (TFormControl* control = ControlOf(watched);
            control && ClickedByMouse(control->Kind) && !qobject_cast<QPushButton*>(watched))
            Click(*control);
    } else if (event->type() == QEvent::FocusIn) {
        if (TFormControl* control = ControlOf(watched)) scrollIntoView_(*control);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lumo
