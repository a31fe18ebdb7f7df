#include "core/ScriptedMsgBox.h"

ScriptedMsgBox::ScriptedMsgBox() {
    previous_ = SetMsgBoxHandler([this](const MsgBoxCall& call) {
        calls_.append(call);
        if (answers_.empty())
            return MsgBoxDefaultAnswer(call.style);
        const int a = answers_.front();
        answers_.pop_front();
        return a;
    });
}

ScriptedMsgBox::~ScriptedMsgBox() {
    SetMsgBoxHandler(std::move(previous_));
}

ScriptedMsgBox& ScriptedMsgBox::answer(int result) {
    answers_.push_back(result);
    return *this;
}
