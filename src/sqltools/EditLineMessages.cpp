#include "sqltools/EditLineMessages.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

namespace {

EditMessageObserver& observer() {
    static EditMessageObserver o;
    return o;
}

struct Editor {
    QTextDocument* doc = nullptr;
    QTextCursor cursor;
};

Editor editorOf(QWidget* w) {
    if (auto* t = qobject_cast<QTextEdit*>(w))
        return {t->document(), t->textCursor()};
    if (auto* p = qobject_cast<QPlainTextEdit*>(w))
        return {p->document(), p->textCursor()};
    return {};
}

// Characters of the text; the document counts one more (its last paragraph end).
qint32 textLength(const QTextDocument* doc) {
    return qint32(doc->characterCount() - 1);
}

QTextBlock blockAt(const QTextDocument* doc, qintptr pos) {
    return doc->findBlock(int(std::clamp<qintptr>(pos, 0, textLength(doc))));
}

qint32 lineLength(const QTextBlock& b) {
    return qint32(b.length() - 1); // without the line break
}

} // namespace

EditMessageObserver SetEditMessageObserver(EditMessageObserver o) {
    EditMessageObserver previous = std::move(observer());
    observer() = std::move(o);
    return previous;
}

qint32 SendEditMessage(QWidget* editor, unsigned msg, qintptr wParam, void* lParam) {
    if (observer())
        observer()(msg, wParam, lParam);
    const Editor e = editorOf(editor);
    if (!e.doc)
        return 0;
    const QTextDocument* doc = e.doc;
    switch (msg) {
    case EM_LINEFROMCHAR:
        if (wParam < 0)
            return blockAt(doc, e.cursor.selectionStart()).blockNumber();
        return blockAt(doc, wParam).blockNumber();
    case EM_LINEINDEX: {
        if (wParam < 0)
            return blockAt(doc, e.cursor.position()).position();
        if (wParam >= doc->blockCount())
            return -1;
        return doc->findBlockByNumber(int(wParam)).position();
    }
    case EM_LINELENGTH: {
        if (wParam < 0) {
            if (!e.cursor.hasSelection())
                return lineLength(blockAt(doc, e.cursor.position()));
            const QTextBlock first = blockAt(doc, e.cursor.selectionStart());
            const QTextBlock last = blockAt(doc, e.cursor.selectionEnd());
            return qint32(e.cursor.selectionStart() - first.position()) +
                   qint32(last.position() + lineLength(last) - e.cursor.selectionEnd());
        }
        if (wParam > textLength(doc))
            return 0;
        return lineLength(blockAt(doc, wParam));
    }
    case EM_GETLINE: {
        auto* buffer = static_cast<char16_t*>(lParam);
        if (!buffer || wParam < 0 || wParam >= doc->blockCount())
            return 0;
        const QString text = doc->findBlockByNumber(int(wParam)).text();
        const qint32 room = buffer[0];
        const qint32 n = std::min<qint32>(room, qint32(text.size()));
        std::copy_n(reinterpret_cast<const char16_t*>(text.utf16()), n, buffer);
        return n;
    }
    default:
        return 0;
    }
}
