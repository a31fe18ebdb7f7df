#include "sqltools/SqlEditorCommon.h"

#include "core/FormHelpers.h"
#include "core/TextHelpers.h"
#include "core/Twips.h"
#include "sqltools/clsFormataSQL.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTabWidget>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>

namespace SqlEditor {

QFont EditorFont() {
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setPointSizeF(9.75);
    return f;
}

QFont WindowFont() {
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(8.25);
    return f;
}

QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(width),
                 TwipsToPixelsY(height));
}

QMdiArea* MainMdiArea() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* main = qobject_cast<QMainWindow*>(w))
            if (auto* mdi = qobject_cast<QMdiArea*>(main->centralWidget()))
                return mdi;
    return nullptr;
}

void AddToDocumentArea(QWidget* form, const QSize& inner) {
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->resize(inner);
    if (QMdiArea* mdi = MainMdiArea()) {
        QMdiSubWindow* sub = mdi->addSubWindow(form);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        // The designed size, as far as the document area holds it.
        sub->resize(sub->sizeHint().boundedTo(mdi->viewport()->size().expandedTo(QSize(320, 240))));
    }
}

QWidget* OuterWindow(const QWidget* form) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget()))
        return sub;
    return const_cast<QWidget*>(form);
}

int OuterWidthTwips(const QWidget* form) {
    const QWidget* outer = OuterWindow(form);
    const int w = outer->isWindow() ? outer->frameGeometry().width() : outer->width();
    return int(PixelsToTwipsX(w));
}

int OuterHeightTwips(const QWidget* form) {
    const QWidget* outer = OuterWindow(form);
    const int h = outer->isWindow() ? outer->frameGeometry().height() : outer->height();
    return int(PixelsToTwipsY(h));
}

void ShowChild(QWidget* form) {
    OuterWindow(form)->show();
    form->show();
    // Wholly in sight: the document area places it without regard to its height.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget()))
        FitInParent(sub);
}

void BringToFront(QWidget* form) {
    QWidget* outer = OuterWindow(form);
    outer->raise();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(outer))
        if (QMdiArea* mdi = sub->mdiArea())
            mdi->setActiveSubWindow(sub);
    form->activateWindow();
}

int KeyCodeOf(const QKeyEvent* event) {
    const int key = event->key();
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    if (key == Qt::Key_Insert)
        return 45;
    if (key < 0x01000000)
        return QChar(key).toUpper().unicode();
    return 0;
}

int ShiftOf(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

int ButtonOf(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

namespace {

// The document's raw text with its paragraph, line and frame marks as line feeds; unlike
// toPlainText(), no-break spaces are not turned into blanks.
QString asTyped(QString raw) {
    for (QChar& c : raw) {
        const char16_t u = c.unicode();
        if (u == QChar::ParagraphSeparator || u == QChar::LineSeparator || u == 0xfdd0 ||
            u == 0xfdd1)
            c = u'\n';
    }
    return raw;
}

} // namespace

QString EditorText(const QTextEdit* editor) {
    return asTyped(editor->document()->toRawText());
}

QString ChosenText(const QTextEdit* editor) {
    const QTextCursor cursor = editor->textCursor();
    return cursor.selectionEnd() - cursor.selectionStart() >= 1
               ? asTyped(cursor.selection().toRawText())
               : EditorText(editor);
}

void EditorChange(clsFormataSQL* formata, QTextEdit* editor, QWidget* tempTextBox, bool trimLine) {
    if (!formata)
        return;
    try {
        const qint32 p = editor->textCursor().selectionStart();
        const qint32 line = formata->GetLineFromChar(editor, p);
        QString text = formata->GetLine(editor, line);
        if (trimLine)
            text = TrimBlanks(text);
        const qint32 start = formata->GetCharFromLine(editor, line);
        formata->FormataLinha(editor, start + 1, qint32(text.size()), tempTextBox);
    } catch (...) {
    }
}

void EditorKeyUp(clsFormataSQL* formata, QTextEdit* editor, int KeyCode, int Shift) {
    try {
        // The selection's colour back to the button-text colour (left alone when it is that
        // colour already, so that key releases add nothing to the undo history).
        const QColor buttonText = QApplication::palette().color(QPalette::ButtonText);
        if (editor->textColor() != buttonText) {
            const QSignalBlocker block(editor);
            editor->setTextColor(buttonText);
        }
    } catch (...) {
    }
    try {
        if (KeyCode == 86 && Shift == 2 && formata)
            formata->FormataTudo(editor);
    } catch (...) {
    }
    try {
        if (KeyCode == 45 && Shift == 1 && formata)
            formata->FormataTudo(editor);
    } catch (...) {
    }
}

void ResizeControls(const SplitControls& c, int splitTop) {
    const int W = OuterWidthTwips(c.form);
    const int H = OuterHeightTwips(c.form);
    // Each rule on its own: a negative size is skipped.
    const int editorWidth = W - 120;
    if (editorWidth >= 0)
        c.editor->resize(TwipsToPixelsX(editorWidth), c.editor->height());
    const int editorHeight = splitTop - 750;
    if (editorHeight >= 0)
        c.editor->resize(c.editor->width(), TwipsToPixelsY(editorHeight));
    c.editor->update();
    const int tabsTop = splitTop + c.splitHeight;
    c.tabs->move(c.tabs->x(), TwipsToPixelsY(tabsTop));
    const int tabsHeight = H - tabsTop - 1300;
    if (tabsHeight >= 0)
        c.tabs->resize(c.tabs->width(), TwipsToPixelsY(tabsHeight));
    if (editorWidth >= 0)
        c.tabs->resize(TwipsToPixelsX(editorWidth), c.tabs->height());
    const int tabsWidthTw = int(PixelsToTwipsX(c.tabs->width()));
    const int tabsHeightTw = int(PixelsToTwipsY(c.tabs->height()));
    c.grid->move(c.grid->x(), TwipsToPixelsY(120));
    const int gridWidth = tabsWidthTw - 240;
    if (gridWidth >= 0)
        c.grid->resize(TwipsToPixelsX(gridWidth), c.grid->height());
    const int gridHeight = tabsHeightTw - c.gridMargin;
    if (gridHeight >= 0)
        c.grid->resize(c.grid->width(), TwipsToPixelsY(gridHeight));
    if (auto* area = qobject_cast<QAbstractScrollArea*>(c.grid))
        area->viewport()->update();
    else
        c.grid->update();
    c.messages->setGeometry(c.messages->x(), c.grid->y(), c.grid->width(), c.grid->height());
    c.split->setGeometry(c.split->x(), TwipsToPixelsY(splitTop), c.editor->width(),
                         TwipsToPixelsY(c.splitHeight));
}

int ClampSplitTop(int splitTop, int outerHeight) {
    if (splitTop > outerHeight - 2000)
        splitTop = outerHeight - 2000;
    if (splitTop < 2000)
        splitTop = 2000;
    return splitTop;
}

void TabClick(QTabWidget* tabs, QWidget* grid, QWidget* messages) {
    if (tabs->currentIndex() == 0 && !grid->isHidden())
        grid->setFocus();
    else if (tabs->currentIndex() == 1)
        messages->setFocus();
}

} // namespace SqlEditor
