#pragma once
// Key/text lists: "key:text;" per entry, as the selector and the lookup columns take them.

#include <QList>
#include <QString>

struct KeyText {
    QString key;
    QString text;
};

// Entries in order; empty entries are skipped; an entry without ':' is its own key and text;
// the text runs from the first ':' to the ';' (so it may hold further colons). A backslash
// takes the character after it as it is, so a key or text may hold ':', ';' and '\'.
QList<KeyText> ParseKeyTextList(const QString& list);

// One entry, "key:text;", with the backslash, ':' and ';' of the key and the text escaped.
QString KeyTextEntry(const QString& key, const QString& text);
