#pragma once
// The modal choice window: ShowListDialog(caption, items) returns the 1-based position of the
// chosen item, 0 when the user presses "&Cancelar" or closes the window. In tests a handler
// (see ScriptedListDialog) answers instead of the window.

#include <QString>
#include <QStringList>

#include <functional>

int ShowListDialog(const QString& Caption, const QStringList& Items);

struct ListDialogCall {
    QString caption;
    QStringList items;
};

using ListDialogHandler = std::function<int(const ListDialogCall&)>;

// Replaces the handler of later calls and returns the previous one; an empty handler
// restores the real window (WAlert1).
ListDialogHandler SetListDialogHandler(ListDialogHandler handler);
