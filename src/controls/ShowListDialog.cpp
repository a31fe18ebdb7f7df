#include "controls/ShowListDialog.h"

#include "controls/WAlert1.h"

#include <QApplication>

namespace {

ListDialogHandler& handler() {
    static ListDialogHandler h;
    return h;
}

} // namespace

ListDialogHandler SetListDialogHandler(ListDialogHandler h) {
    ListDialogHandler previous = std::move(handler());
    handler() = std::move(h);
    return previous;
}

int ShowListDialog(const QString& Caption, const QStringList& Items) {
    if (handler())
        return handler()({Caption, Items});
    WAlert1 dlg(Caption, Items, QApplication::activeWindow());
    dlg.exec();
    return dlg.result() == QDialog::Accepted ? dlg.Choice() : 0;
}
