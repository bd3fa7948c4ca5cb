#include "layout/sel_text.h"

namespace lumo {

void SelTextCount::AddText(const char* P, int Size) {
    for (int i = 0; i < Size; ++i)
        if (P[i] != 2 && P[i] != 4) ++Leng;
}

void SelTextCount::AddTextCR(const char* P, int Size) {
    AddText(P, Size);
    AddText("\r\n", 2);
}

int SelTextCount::Terminate() {
    return Leng;
}

void SelTextBuf::AddText(const char* P, int Size) {
    for (int i = 0; i < Size && Leng < BufferLeng - 1; ++i) {
        char c = P[i];
        if (c == 2 || c == 4 || c == 8) continue;
        Buffer[Leng++] = static_cast<unsigned char>(c) == 160 ? ' ' : c;
    }
}

int SelTextBuf::Terminate() {
    if (BufferLeng > 0) Buffer[Leng] = 0;
    return Leng + 1;
}

ClipBuffer::ClipBuffer() : SelTextBuf(nullptr, Size), storage_(Size) {
    Buffer = storage_.data();
}

} // namespace lumo
