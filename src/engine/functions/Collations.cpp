#include "engine/functions/FunctionUtil.h"
#include "engine/functions/Functions.h"
#include "engine/types/Decimal.h"

#include <QString>

namespace engine::functions {

namespace {

int trimmedLength(const char* p, int n)
{
    while (n > 0 && p[n - 1] == ' ') --n;
    return n;
}

// Case-insensitive, trailing blanks ignored: the default server collation.
int compareCI(void*, int na, const void* a, int nb, const void* b)
{
    auto pa = static_cast<const char*>(a), pb = static_cast<const char*>(b);
    na = trimmedLength(pa, na);
    nb = trimmedLength(pb, nb);
    bool ascii = true;
    int n = std::min(na, nb);
    for (int i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(pa[i]), y = static_cast<unsigned char>(pb[i]);
        if ((x | y) & 0x80) {
            ascii = false;
            break;
        }
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return x < y ? -1 : 1;
    }
    if (ascii) {
        // remaining bytes of the longer one may be non-ASCII; plain length order is fine then
        bool restAscii = true;
        for (int i = n; i < na; ++i) restAscii &= (static_cast<unsigned char>(pa[i]) & 0x80) == 0;
        for (int i = n; i < nb; ++i) restAscii &= (static_cast<unsigned char>(pb[i]) & 0x80) == 0;
        if (restAscii) return na == nb ? 0 : na < nb ? -1 : 1;
    }
    QString x = QString::fromUtf8(pa, na), y = QString::fromUtf8(pb, nb);
    int c = QString::compare(x, y, Qt::CaseInsensitive);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

// Case-sensitive, trailing blanks ignored.
int compareCS(void*, int na, const void* a, int nb, const void* b)
{
    auto pa = static_cast<const char*>(a), pb = static_cast<const char*>(b);
    na = trimmedLength(pa, na);
    nb = trimmedLength(pb, nb);
    int c = std::memcmp(pa, pb, size_t(std::min(na, nb)));
    if (c != 0) return c < 0 ? -1 : 1;
    return na == nb ? 0 : na < nb ? -1 : 1;
}

// Decimal texts in numeric order.
int compareDecimal(void*, int na, const void* a, int nb, const void* b)
{
    return types::Decimal::compareText(std::string_view(static_cast<const char*>(a), size_t(na)),
                                       std::string_view(static_cast<const char*>(b), size_t(nb)));
}

} // namespace

void registerCollations(sqlite3* db)
{
    sqlite3_create_collation(db, kCollateCI, SQLITE_UTF8, nullptr, compareCI);
    sqlite3_create_collation(db, kCollateCS, SQLITE_UTF8, nullptr, compareCS);
    sqlite3_create_collation(db, kCollateDecimal, SQLITE_UTF8, nullptr, compareDecimal);
}

} // namespace engine::functions
