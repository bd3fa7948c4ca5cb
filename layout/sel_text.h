// Collectors the text sections feed with the selected text: one counts it,
// one copies it into a caller's buffer, one holds what a copy to the
// clipboard takes.
// Text holds the layout's placeholder bytes: 2 (form control), 4 (image or
// panel) and 8 (line break) stand for no character of their own.
#pragma once

#include <string>
#include <vector>

namespace lumo {

class SelTextCount {
public:
    virtual ~SelTextCount() = default;
    // Counts the characters except the placeholders 2 and 4.
    virtual void AddText(const char* P, int Size);
    void AddTextCR(const char* P, int Size);
    // The count (for the buffers: the length with its terminating zero).
    virtual int Terminate();

    int Leng = 0;
};

class SelTextBuf : public SelTextCount {
public:
    SelTextBuf(char* buffer, int bufferLeng) : Buffer(buffer), BufferLeng(bufferLeng) {}
    // Copies the characters except 2, 4 and 8, a non-breaking space (160) as
    // a space, while fewer than BufferLeng - 1 are held; later ones are dropped.
    void AddText(const char* P, int Size) override;
    // Writes the terminating zero.
    int Terminate() override;

    char* Buffer;
    int BufferLeng;
};

// Holds at most 32499 characters, the most a copy to the clipboard takes.
class ClipBuffer : public SelTextBuf {
public:
    static constexpr int Size = 32500;
    ClipBuffer();
    std::string Text() const { return std::string(Buffer, Leng); }

private:
    std::vector<char> storage_;
};

} // namespace lumo
