#include "builder/control_content.h"

#include "platform/text.h"

#include <algorithm>

namespace lumo {

namespace {

void AppendCapped(std::string& to, const std::string& text, size_t cap) {
    if (to.size() < cap) to.append(text, 0, cap - to.size());
}

} // namespace

std::vector<TSelectOption> ReadSelectOptions(HtmlTokenizer& p, const std::function<void()>& next) {
    std::vector<TSelectOption> options;
    TSelectOption open;
    bool isOpen = false;
    auto close = [&] {
        if (!isOpen) return;
        isOpen = false;
        open.Text = std::string(Trim(open.Text));
        if (!open.Text.empty() && options.size() < MaxSelectOptions)
            options.push_back(std::move(open));
        open = {};
    };
    for (next(); p.CurTok != SelectEndTok && p.CurTok != EofTok; next()) {
        switch (p.CurTok) {
        case TextTok:
            if (isOpen) AppendCapped(open.Text, p.Token.S, MaxOptionText);
            break;
        case OptionTok:
            close();
            isOpen = true;
            open.Selected = p.Attributes.Find(SelectedTok) != nullptr;
            AppendCapped(open.Value, p.Attributes.Text(ValueTok), MaxOptionText);
            break;
        case OptionEndTok: close(); break;
        default: break;
        }
    }
    close();
    return options;
}

std::vector<std::string> ReadTextAreaLines(HtmlTokenizer& p) {
    std::vector<std::string> lines(1);
    size_t total = 0;
    p.ReadTextArea([&] {
        if (p.CurTok == TextAreaEndTok) return;
        if (total >= MaxTextAreaText) return;
        if (p.CurTok == EolTok) {
            lines.emplace_back();
            ++total;
            return;
        }
        const size_t n = std::min(p.Token.S.size(), MaxTextAreaText - total);
        lines.back().append(p.Token.S, 0, n);
        total += n;
    });
    if (lines.back().empty()) lines.pop_back();
    return lines;
}

} // namespace lumo
