#pragma once
// Text widths in pixels exactly as QFontMetrics::horizontalAdvance gives them, for filling
// a grid with many short texts: a width is the sum of the characters' advances and of the
// kerning between neighbours, read once per character and per pair; texts that a font
// shapes otherwise (ligatures, scripts beyond Latin) are laid out as usual.

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QString>

#include <memory>
#include <vector>

class TextWidth {
public:
    explicit TextWidth(const QFont& font);
    int operator()(const QString& text);

private:
    // The width by advances and pair kerning; false when the text needs a real layout.
    bool shortcut(const QString& text, qreal& width);
    qreal advance(char16_t c);
    // What b adds after a: its advance and the kerning between them; infinity when the two
    // are shaped together (a ligature).
    float pairAdvance(char16_t a, char16_t b);

    QFont font_;
    QFontMetrics metrics_;
    QFontMetricsF metricsF_;
    std::vector<qreal> advances_; // < 0: not read yet
    // By first character, made when first needed: NaN not read yet.
    std::vector<std::unique_ptr<float[]>> pairs_;
    int checked_ = 0;             // texts measured both ways so far
    bool trusted_ = true;         // no text measured otherwise by the shortcut
};
