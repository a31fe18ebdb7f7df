#include "sqltools/TextWidth.h"

#include <QGlyphRun>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Characters up to the end of Latin Extended-B: the range the shortcut serves.
constexpr char16_t kRange = 0x250;

bool plain(char16_t c) {
    return c >= 0x20 && c < kRange && !(c >= 0x7F && c < 0xA0);
}

// The glyphs a text is shaped into.
int glyphCount(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    int n = 0;
    for (const QGlyphRun& run : layout.glyphRuns())
        n += int(run.glyphIndexes().size());
    return n;
}

// The first texts are measured both ways, then one in this many.
constexpr int kFirstChecks = 32;
constexpr int kCheckEvery = 2048;

} // namespace

TextWidth::TextWidth(const QFont& font)
    : font_(font), metrics_(font), metricsF_(font), advances_(kRange, -1.0), pairs_(kRange) {}

qreal TextWidth::advance(char16_t c) {
    qreal& a = advances_[c];
    if (a < 0)
        a = metricsF_.horizontalAdvance(QChar(c));
    return a;
}

float TextWidth::pairAdvance(char16_t a, char16_t b) {
    std::unique_ptr<float[]>& row = pairs_[a];
    if (!row) {
        row = std::make_unique<float[]>(kRange);
        std::fill_n(row.get(), kRange, std::numeric_limits<float>::quiet_NaN());
    }
    float& p = row[b];
    if (std::isnan(p)) {
        const QChar chars[2] = {QChar(a), QChar(b)};
        const QString pair(chars, 2);
        if (glyphCount(pair, font_) != 2)
            p = std::numeric_limits<float>::infinity();
        else
            p = float(metricsF_.horizontalAdvance(pair) - advance(a));
    }
    return p;
}

bool TextWidth::shortcut(const QString& text, qreal& width) {
    const qsizetype n = text.size();
    if (n == 0) {
        width = 0;
        return true;
    }
    const QChar* s = text.constData();
    char16_t previous = s[0].unicode();
    if (!plain(previous))
        return false;
    qreal total = advance(previous);
    for (qsizetype i = 1; i < n; ++i) {
        const char16_t c = s[i].unicode();
        if (!plain(c))
            return false;
        const float p = pairAdvance(previous, c);
        if (std::isinf(p))
            return false;
        total += p;
        previous = c;
    }
    width = total;
    return true;
}

int TextWidth::operator()(const QString& text) {
    qreal width = 0;
    if (!trusted_ || !shortcut(text, width))
        return metrics_.horizontalAdvance(text);
    const int fast = qRound(width);
    // Now and then the shortcut is checked against the real measure; one miss ends it.
    if (checked_ < kFirstChecks || checked_ % kCheckEvery == 0) {
        const int real = metrics_.horizontalAdvance(text);
        ++checked_;
        if (real != fast) {
            trusted_ = false;
            return real;
        }
        return fast;
    }
    ++checked_;
    return fast;
}
