// Collectors the text sections feed with the selected text: one counts it,
// one copies it into a caller's buffer, one holds what a copy to the
// clipboard takes.
// Text holds the layout's placeholder bytes: 2 (form control), 4 (image or
// panel) and 8 (line break) stand for no character of their own.
#pragma once

#include "platform/code_page.h"

#include <string>
#include <string_view>
#include <vector>

namespace lumo {

class TSelectionCounter {
public:
    virtual ~TSelectionCounter() = default;
    // Counts the characters except the placeholders 2 and 4.
    virtual void AddText(const char* P, int Size);
    void AddTextCR(const char* P, int Size);
    // The count (for the buffers: the length with its terminating zero).
    virtual int Terminate();

    int Leng = 0;
};

class TSelectionBuffer : public TSelectionCounter {
public:
    TSelectionBuffer(char* buffer, int bufferLeng) : Buffer(buffer), BufferLeng(bufferLeng) {}
    // Copies the characters except 2, 4 and 8, a non-breaking space as a
    // space, while fewer than BufferLeng - 1 bytes are held; later ones are
    // dropped, and a character that does not fit whole is dropped too.
    void AddText(const char* P, int Size) override;
    // Writes the terminating zero.
    int Terminate() override;

    char* Buffer;
    int BufferLeng;
    TCodePage Page = TCodePage::Windows1252; // of the text copied

private:
    void AddUtf8(std::string_view text);
    bool full_ = false; // a character did not fit: nothing more goes in
};

// Holds at most 32499 characters, the most a copy to the clipboard takes.
class TClipboardText : public TSelectionBuffer {
public:
    static constexpr int Size = 32500;
    TClipboardText();
    std::string Text() const { return std::string(Buffer, Leng); }

private:
    std::vector<char> storage_;
};

} // namespace lumo
