// Doubles to text and back in the C locale, whatever locale the process runs in.
#include "engine/types/CNumberText.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace engine::types {

namespace {

locale_t cLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
}

// The calling thread works in the C locale while this lives.
class CLocaleScope {
public:
    CLocaleScope() : old_(cLocale() ? uselocale(cLocale()) : locale_t(nullptr)) {}
    ~CLocaleScope()
    {
        if (old_) uselocale(old_);
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t old_;
};

} // namespace

std::string cFormatDouble(double v, char conversion, int precision)
{
    CLocaleScope c;
    char buf[64];
    std::snprintf(buf, sizeof buf, conversion == 'e' ? "%.*e" : "%.*g", precision, v);
    return buf;
}

double cParseDouble(const char* text)
{
    CLocaleScope c;
    return std::strtod(text, nullptr);
}

} // namespace engine::types
