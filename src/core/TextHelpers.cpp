#include "core/TextHelpers.h"

int BoolToCheck(bool value) {
    return value ? 1 : 0;
}

bool CheckToBool(int value) {
    return value == 1;
}

Qt::CheckState CheckToQt(int value) {
    switch (value) {
    case 1:
        return Qt::Checked;
    case 2:
        return Qt::PartiallyChecked;
    default:
        return Qt::Unchecked;
    }
}

int QtToCheck(Qt::CheckState state) {
    switch (state) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

QString TrimBlanks(const QString& text) {
    qsizetype b = 0, e = text.size();
    while (b < e && text[b] == u' ')
        ++b;
    while (e > b && text[e - 1] == u' ')
        --e;
    return text.mid(b, e - b);
}

QString MaskLineBreaks(const QString& text, const QString& mask) {
    QString out = text;
    if (!mask.isEmpty()) {
        const QChar m = mask.front();
        for (QChar& c : out)
            if (c == u'\r' || c == u'\n')
                c = m;
    }
    return TrimBlanks(out);
}

QString ReplaceApostrophes(const QString& text) {
    QString out = text;
    out.replace(u'\'', u'`');
    return out;
}
