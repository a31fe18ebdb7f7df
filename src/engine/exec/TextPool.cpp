#include "engine/exec/TextPool.h"

namespace engine::exec {

namespace {
// The pool's own references to its block: the strings handed out take theirs from these, so
// making a string costs no atomic operation; what is left is given back when the block is done.
constexpr int kPoolRefs = 1 << 30;
constexpr qsizetype kLargestBlock = 32 * 1024; // characters
constexpr qsizetype kLongestPooled = 256;      // longer texts get an allocation of their own

bool ascii(const char* p, qsizetype n)
{
    unsigned char any = 0;
    for (qsizetype i = 0; i < n; ++i) any |= static_cast<unsigned char>(p[i]);
    return any < 0x80;
}
} // namespace

TextPool::~TextPool() { release(); }

void TextPool::release()
{
    if (!block_) return;
    const int left = block_->ref_.fetchAndSubOrdered(kPoolRefs - handedOut_) - (kPoolRefs - handedOut_);
    if (left == 0) Block::deallocate(block_);
    block_ = nullptr;
    next_ = end_ = nullptr;
    handedOut_ = 0;
}

char16_t* TextPool::take(qsizetype n)
{
    if (n > kLongestPooled) return nullptr;
    if (end_ - next_ < n + 1) {
        release();
        auto [header, data] = Block::allocate(blockChars_);
        if (!header) return nullptr;
        header->ref_.fetchAndAddRelaxed(kPoolRefs - 1);
        block_ = header;
        next_ = data;
        end_ = data + header->alloc;
        if (blockChars_ < kLargestBlock) blockChars_ *= 2; // small results stay small
    }
    char16_t* at = next_;
    next_ += n + 1;
    at[n] = u'\0';
    return at;
}

QString TextPool::handOut(char16_t* at, qsizetype n)
{
    ++handedOut_;
    return QString(QString::DataPointer(block_, at, n));
}

QString TextPool::fromUtf8(const char* p, qsizetype n)
{
    if (n == 0 || !ascii(p, n)) return QString::fromUtf8(p, n);
    char16_t* at = take(n);
    if (!at) return QString::fromUtf8(p, n);
    for (qsizetype i = 0; i < n; ++i) at[i] = static_cast<unsigned char>(p[i]);
    return handOut(at, n);
}

QString TextPool::fromLatin1(const char* p, qsizetype n)
{
    if (n == 0) return QString::fromLatin1(p, n);
    char16_t* at = take(n);
    if (!at) return QString::fromLatin1(p, n);
    for (qsizetype i = 0; i < n; ++i) at[i] = static_cast<unsigned char>(p[i]);
    return handOut(at, n);
}

} // namespace engine::exec
