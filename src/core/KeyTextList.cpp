#include "core/KeyTextList.h"

namespace {

QString escaped(const QString& part) {
    QString out;
    out.reserve(part.size());
    for (const QChar c : part) {
        if (c == u'\\' || c == u':' || c == u';')
            out += u'\\';
        out += c;
    }
    return out;
}

} // namespace

QList<KeyText> ParseKeyTextList(const QString& list) {
    QList<KeyText> out;
    QString key, text;
    bool inText = false; // past the entry's first ':'
    bool any = false;    // the entry holds something
    auto finish = [&] {
        if (any)
            out.append(inText ? KeyText{key, text} : KeyText{key, key});
        key.clear();
        text.clear();
        inText = any = false;
    };
    for (qsizetype i = 0; i < list.size(); ++i) {
        QChar c = list[i];
        if (c == u';') {
            finish();
            continue;
        }
        any = true;
        if (c == u':' && !inText) {
            inText = true;
            continue;
        }
        if (c == u'\\' && i + 1 < list.size())
            c = list[++i];
        (inText ? text : key) += c;
    }
    finish();
    return out;
}

QString KeyTextEntry(const QString& key, const QString& text) {
    return escaped(key) + u':' + escaped(text) + u';';
}
