#include "controls/SplitToArray.h"

#include "core/TextHelpers.h"

bool SplitToArray(const QString& Text, const QString& Delim, QStringList& Parts) {
    Parts = QStringList{QString()};
    if (TrimBlanks(Text).isEmpty())
        return false;
    const auto place = [&Parts](const QString& piece) {
        if (Parts.back().isEmpty())
            Parts.back() = piece;
        else
            Parts.append(piece);
    };
    if (Delim.isEmpty()) {
        place(Text);
        return true;
    }
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = Text.indexOf(Delim, from);
        if (at < 0)
            break;
        place(Text.mid(from, at - from));
        from = at + Delim.size();
    }
    if (from < Text.size())
        place(Text.mid(from));
    return true;
}
