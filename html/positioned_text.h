// Text with the source position of every character: I[k] is the byte offset
// in the document of S[k]. Both grow geometrically, so collecting a long run
// stays linear.
#pragma once

#include <string>
#include <vector>

namespace lumo {

class TPositionedText {
public:
    std::string S;
    std::vector<int> I;

    int Leng() const { return static_cast<int>(S.size()); }

    void AddChar(char c, int pos) {
        S.push_back(c);
        I.push_back(pos);
    }

    void AddString(const TPositionedText& other) {
        S += other.S;
        I.insert(I.end(), other.I.begin(), other.I.end());
    }

    // Empties the text; the storage is kept for reuse.
    void Clear() {
        S.clear();
        I.clear();
    }
};

} // namespace lumo
