#include "controls/KeyTextList.h"

QList<KeyText> ParseKeyTextList(const QString& list) {
    QList<KeyText> out;
    for (const QString& entry : list.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype colon = entry.indexOf(u':');
        if (colon < 0)
            out.append({entry, entry});
        else
            out.append({entry.left(colon), entry.mid(colon + 1)});
    }
    return out;
}
