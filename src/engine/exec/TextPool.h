#pragma once
// QString values carved out of shared blocks, for reading many short texts into a result: one
// allocation per block instead of one per value. Each string holds a reference to its block
// (Qt's own shared array data, as any QString does), so it may outlive the pool and the result
// safely; changing a string while others share its block copies it first, as for any shared
// QString.

#include <QString>

namespace engine::exec {

class TextPool {
public:
    TextPool() = default;
    TextPool(const TextPool&) = delete;
    TextPool& operator=(const TextPool&) = delete;
    ~TextPool();

    // The same strings as QString::fromUtf8 and QString::fromLatin1.
    QString fromUtf8(const char* p, qsizetype n);
    QString fromLatin1(const char* p, qsizetype n);

private:
    using Block = QTypedArrayData<char16_t>;
    // Room for n characters and a terminating null in the current block, or nullptr.
    char16_t* take(qsizetype n);
    QString handOut(char16_t* at, qsizetype n);
    void release();

    Block* block_ = nullptr;
    char16_t* next_ = nullptr;
    char16_t* end_ = nullptr;
    int handedOut_ = 0;
    qsizetype blockChars_ = 512;
};

} // namespace engine::exec
