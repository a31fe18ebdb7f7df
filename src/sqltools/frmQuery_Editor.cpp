// The query window: the grid's popup menu.
#include "sqltools/frmQuery.h"

#include "core/TextHelpers.h"
#include "core/Twips.h"
#include "sqltools/QueryGrid.h"
#include "sqltools/SqlEditorCommon.h"
#include "sqltools/clsFormataSQL.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QTextEdit>

namespace {

using SqlEditor::ButtonOf;

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
    if (grdGrid && watched == grdGrid->viewport()) {
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
        return QWidget::eventFilter(watched, event);
    }
    return SqlEditorWindow::eventFilter(watched, event);
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
