#include "sqltools/TextWidth.h"

#include <QGlyphRun>
#include <QTextLayout>

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
    : font_(font), metrics_(font), metricsF_(font), advances_(kRange, -1.0),
      kerns_(size_t(kRange) * kRange, std::numeric_limits<float>::quiet_NaN()) {}

qreal TextWidth::advance(char16_t c) {
    qreal& a = advances_[c];
    if (a < 0)
        a = metricsF_.horizontalAdvance(QChar(c));
    return a;
}

bool TextWidth::kerning(char16_t a, char16_t b, qreal& adjust) {
    float& k = kerns_[size_t(a) * kRange + b];
    if (std::isnan(k)) {
        const QChar chars[2] = {QChar(a), QChar(b)};
        const QString pair(chars, 2);
        if (glyphCount(pair, font_) != 2)
            k = std::numeric_limits<float>::infinity();
        else
            k = float(metricsF_.horizontalAdvance(pair) - advance(a) - advance(b));
    }
    if (std::isinf(k))
        return false;
    adjust = k;
    return true;
}

bool TextWidth::shortcut(const QString& text, qreal& width) {
    const qsizetype n = text.size();
    const QChar* s = text.constData();
    qreal total = 0;
    char16_t previous = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i].unicode();
        if (!plain(c))
            return false;
        total += advance(c);
        if (i > 0) {
            qreal adjust = 0;
            if (!kerning(previous, c, adjust))
                return false;
            total += adjust;
        }
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
