#include "controls/ScriptedListDialog.h"

ScriptedListDialog::ScriptedListDialog() {
    previous_ = SetListDialogHandler([this](const ListDialogCall& call) {
        calls_.append(call);
        if (answers_.empty())
            return 0;
        const Answer a = answers_.front();
        answers_.pop_front();
        if (!a.item.isEmpty())
            return int(call.items.indexOf(a.item) + 1);
        return a.position;
    });
}

ScriptedListDialog::~ScriptedListDialog() {
    SetListDialogHandler(std::move(previous_));
}

ScriptedListDialog& ScriptedListDialog::answer(int position) {
    answers_.push_back({position, {}});
    return *this;
}

ScriptedListDialog& ScriptedListDialog::choose(const QString& item) {
    answers_.push_back({0, item});
    return *this;
}
