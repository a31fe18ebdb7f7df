#pragma once
// Key/text lists: "key:text;" per entry, as the selector and the lookup columns take them.

#include <QList>
#include <QString>

struct KeyText {
    QString key;
    QString text;
};

// Entries in order; empty entries are skipped; an entry without ':' is its own key and text;
// the text runs from the first ':' to the ';' (so it may hold further colons).
QList<KeyText> ParseKeyTextList(const QString& list);
