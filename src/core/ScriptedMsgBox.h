#pragma once
// Test double for MsgBox: while one lives, every MsgBox call is recorded and answered from a
// queue of scripted answers (the style's default button once the queue is empty).

#include "core/MsgBox.h"

#include <QList>

#include <deque>

class ScriptedMsgBox {
public:
    ScriptedMsgBox();
    ~ScriptedMsgBox();
    ScriptedMsgBox(const ScriptedMsgBox&) = delete;
    ScriptedMsgBox& operator=(const ScriptedMsgBox&) = delete;

    // Queues the answer of a later call (vbYes, vbNo, vbOK...).
    ScriptedMsgBox& answer(int result);

    const QList<MsgBoxCall>& calls() const { return calls_; }
    int count() const { return int(calls_.size()); }
    const MsgBoxCall& last() const { return calls_.back(); }
    void clear() { calls_.clear(); }

private:
    QList<MsgBoxCall> calls_;
    std::deque<int> answers_;
    MsgBoxHandler previous_;
};
