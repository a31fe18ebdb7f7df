#pragma once
// Test double for ShowListDialog: while one lives, every call is recorded and answered from a
// queue of scripted positions (1-based, 0 = "&Cancelar"); 0 once the queue is empty.

#include "controls/ShowListDialog.h"

#include <QList>

#include <deque>

class ScriptedListDialog {
public:
    ScriptedListDialog();
    ~ScriptedListDialog();
    ScriptedListDialog(const ScriptedListDialog&) = delete;
    ScriptedListDialog& operator=(const ScriptedListDialog&) = delete;

    ScriptedListDialog& answer(int position);
    // Queues the position of `item` in the next call's items (0 when it is not offered).
    ScriptedListDialog& choose(const QString& item);

    const QList<ListDialogCall>& calls() const { return calls_; }
    int count() const { return int(calls_.size()); }
    const ListDialogCall& last() const { return calls_.back(); }
    void clear() { calls_.clear(); }

private:
    struct Answer {
        int position = 0;
        QString item; // chosen by text when not empty
    };
    QList<ListDialogCall> calls_;
    std::deque<Answer> answers_;
    ListDialogHandler previous_;
};
