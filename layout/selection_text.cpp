#include "layout/selection_text.h"

#include "platform/utf8.h"

namespace lumo {

void TSelectionCounter::AddText(const char* P, int Size) {
    for (int i = 0; i < Size; ++i)
        if (P[i] != 2 && P[i] != 4) ++Leng;
}

void TSelectionCounter::AddTextCR(const char* P, int Size) {
    AddText(P, Size);
    AddText("\r\n", 2);
}

int TSelectionCounter::Terminate() {
    return Leng;
}

void TSelectionBuffer::AddText(const char* P, int Size) {
    if (Page == TCodePage::Utf8) return AddUtf8(std::string_view(P, static_cast<size_t>(Size)));
    for (int i = 0; i < Size && Leng < BufferLeng - 1; ++i) {
        char c = P[i];
        if (c == 2 || c == 4 || c == 8) continue;
        Buffer[Leng++] = static_cast<unsigned char>(c) == 160 ? ' ' : c;
    }
}

void TSelectionBuffer::AddUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const TUtf8Char c = DecodeUtf8Char(text, i);
        const char first = text[i];
        i += static_cast<size_t>(c.Length);
        if (first == 2 || first == 4 || first == 8) continue;
        const bool space = c.CodePoint == 0xA0;
        full_ = full_ || Leng + (space ? 1 : c.Length) > BufferLeng - 1;
        if (full_) return;
        if (space) {
            Buffer[Leng++] = ' ';
            continue;
        }
        for (size_t k = i - static_cast<size_t>(c.Length); k < i; ++k)
            Buffer[Leng++] = text[k];
    }
}

int TSelectionBuffer::Terminate() {
    if (BufferLeng > 0) Buffer[Leng] = 0;
    return Leng + 1;
}

TClipboardText::TClipboardText() : TSelectionBuffer(nullptr, Size), storage_(Size) {
    Buffer = storage_.data();
}

} // namespace lumo
