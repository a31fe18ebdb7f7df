// The query window: editor keys and changes, the splitter and the grid's popup menu.
#include "sqltools/frmQuery.h"

#include "core/TextHelpers.h"
#include "core/Twips.h"
#include "sqltools/SqlEditorCommon.h"
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

using SqlEditor::ButtonOf;
using SqlEditor::KeyCodeOf;
using SqlEditor::ShiftOf;

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
            txtQuery_KeyUp(KeyCodeOf(e), ShiftOf(e->modifiers()));
    } else if (watched == fraSplit && event->type() == QEvent::MouseMove) {
        auto* e = static_cast<QMouseEvent*>(event);
        fraSplit_MouseMove(ButtonOf(e->buttons()), int(PixelsToTwipsY(int(e->position().y()))));
        return true;
    } else if (watched == fraSplit && event->type() == QEvent::MouseButtonRelease) {
        fraSplit_MouseUp(ButtonOf(static_cast<QMouseEvent*>(event)->button()));
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
                grdGrid_MouseUp(ButtonOf(e->button()), e->globalPosition().toPoint());
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmQuery::txtQuery_Change() {
    SqlEditor::EditorChange(mFormata.get(), txtQuery, Text1, true);
}

void frmQuery::txtQuery_KeyUp(int KeyCode, int Shift) {
    SqlEditor::EditorKeyUp(mFormata.get(), txtQuery, KeyCode, Shift);
    try {
        if (KeyCode == 116)
            cmdExecute_Click();
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
        SetSplitTop(SqlEditor::ClampSplitTop(mSplitTop, OuterHeightTwips()));
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
