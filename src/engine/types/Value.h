#pragma once
// A value as SQLite stores it: null, integer, real, UTF-8 text or bytes.

#include <string>

namespace engine::types {

struct Value {
    enum Kind { Null, Int, Real, Text, Blob };
    Kind kind = Null;
    long long i = 0;
    double d = 0;
    std::string s; // text (UTF-8) or blob bytes

    static Value null() { return {}; }
    static Value ofInt(long long v) { Value x; x.kind = Int; x.i = v; return x; }
    static Value ofReal(double v) { Value x; x.kind = Real; x.d = v; return x; }
    static Value ofText(std::string v) { Value x; x.kind = Text; x.s = std::move(v); return x; }
    static Value ofBlob(std::string v) { Value x; x.kind = Blob; x.s = std::move(v); return x; }
    bool isNull() const { return kind == Null; }
};

// Number of characters of UTF-8 text.
inline int utf8Length(const std::string& s)
{
    int n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

// Byte offset of the first `chars` characters.
inline size_t utf8Prefix(const std::string& s, int chars)
{
    size_t i = 0;
    int n = 0;
    for (; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (n == chars) break;
            ++n;
        }
    }
    return i;
}

} // namespace engine::types
