// The query window: editor keys and changes, the splitter and the grid's popup menu.
#include "sqltools/frmQuery.h"

#include "core/TextHelpers.h"
#include "core/Twips.h"
#include "sqltools/clsFormataSQL.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QTableWidget>
#include <QTextEdit>

namespace {

// The key code a key event stands for (F1 is 112, Insert 45, letters their capitals).
int keyCodeOf(const QKeyEvent* e) {
    const int key = e->key();
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    if (key == Qt::Key_Insert)
        return 45;
    if (key < 0x01000000)
        return QChar(key).toUpper().unicode();
    return 0;
}

// Shift 1, Ctrl 2, Alt 4.
int shiftOf(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

// Left 1, right 2, middle 4.
int buttonOf(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

// The main window's popup menu of that name.
QMenu* mainWindowMenu(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* main = qobject_cast<QMainWindow*>(w))
            if (auto* menu = main->findChild<QMenu*>(name))
                return menu;
    return nullptr;
}

} // namespace

bool frmQuery::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtQuery && event->type() == QEvent::KeyRelease) {
        auto* e = static_cast<QKeyEvent*>(event);
        if (!e->isAutoRepeat())
            txtQuery_KeyUp(keyCodeOf(e), shiftOf(e->modifiers()));
    } else if (watched == fraSplit && event->type() == QEvent::MouseMove) {
        auto* e = static_cast<QMouseEvent*>(event);
        fraSplit_MouseMove(buttonOf(e->buttons()), int(PixelsToTwipsY(int(e->position().y()))));
        return true;
    } else if (watched == fraSplit && event->type() == QEvent::MouseButtonRelease) {
        fraSplit_MouseUp(buttonOf(static_cast<QMouseEvent*>(event)->button()));
        return true;
    } else if (watched == grdGrid->viewport()) {
        // The right button keeps the selection: it only opens the grid menu.
        if (event->type() == QEvent::MouseButtonPress ||
            event->type() == QEvent::MouseButtonDblClick) {
            if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
                return true;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            auto* e = static_cast<QMouseEvent*>(event);
            if (e->button() == Qt::RightButton) {
                grdGrid_MouseUp(buttonOf(e->button()), e->globalPosition().toPoint());
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmQuery::txtQuery_Change() {
    if (!mFormata)
        return;
    try {
        const qint32 p = txtQuery->textCursor().selectionStart();
        const qint32 line = mFormata->GetLineFromChar(txtQuery, p);
        const QString text = TrimBlanks(mFormata->GetLine(txtQuery, line));
        const qint32 start = mFormata->GetCharFromLine(txtQuery, line);
        mFormata->FormataLinha(txtQuery, start + 1, qint32(text.size()), Text1);
    } catch (...) {
    }
}

void frmQuery::txtQuery_KeyUp(int KeyCode, int Shift) {
    try {
        // The selection's colour back to the button-text colour (left alone when it is that
        // colour already, so that key releases add nothing to the undo history).
        const QColor buttonText = QApplication::palette().color(QPalette::ButtonText);
        if (txtQuery->textColor() != buttonText) {
            const QSignalBlocker block(txtQuery);
            txtQuery->setTextColor(buttonText);
        }
    } catch (...) {
    }
    try {
        if (KeyCode == 116)
            cmdExecute_Click();
    } catch (...) {
    }
    try {
        if (KeyCode == 86 && Shift == 2 && mFormata)
            mFormata->FormataTudo(txtQuery);
    } catch (...) {
    }
    try {
        if (KeyCode == 45 && Shift == 1 && mFormata)
            mFormata->FormataTudo(txtQuery);
    } catch (...) {
    }
}

void frmQuery::fraSplit_MouseMove(int Button, int Y) {
    if (Button != 1)
        return;
    try {
        SetSplitTop(mSplitTop + Y);
        ResizeControls();
    } catch (...) {
    }
}

void frmQuery::fraSplit_MouseUp(int Button) {
    if (Button != 1)
        return;
    try {
        const int H = OuterHeightTwips();
        if (mSplitTop > H - 2000)
            SetSplitTop(H - 2000);
        if (mSplitTop < 2000)
            SetSplitTop(2000);
        ResizeControls();
    } catch (...) {
    }
}

void frmQuery::grdGrid_MouseUp(int Button, const QPoint& globalPos) {
    if (Button != 2)
        return;
    try {
        if (QMenu* menu = mainWindowMenu(QStringLiteral("mnuGrid")))
            menu->popup(globalPos);
    } catch (...) {
    }
}
