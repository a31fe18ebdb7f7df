#include "designer/M_MainMod.h"

#include "core/TextHelpers.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QWidget>

namespace M_MainMod {

bool IsFormLoaded(QString& FormName) {
    FormName = TrimBlanks(FormName).toUpper();
    if (FormName.isEmpty())
        return false;
    // A window is a top-level widget or the form inside a child window of the main window.
    for (const QWidget* w : QApplication::allWidgets()) {
        const bool isForm = w->isWindow() || qobject_cast<QMdiSubWindow*>(w->parentWidget());
        if (isForm && w->objectName().toUpper() == FormName)
            return true;
    }
    return false;
}

} // namespace M_MainMod
