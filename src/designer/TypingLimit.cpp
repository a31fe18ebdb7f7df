// A length limit on typing only: text set from code is never cut.
#include "designer/TypingLimit.h"

#include <QLineEdit>

#include <algorithm>

TypingLimit::TypingLimit(QLineEdit* box) : QValidator(box), mBox(box), mShown(box->text()) {
    connect(box, &QLineEdit::textChanged, this, [this](const QString& text) { mShown = text; });
}

void TypingLimit::Set(QLineEdit* Box, int Limit) {
    if (!Box)
        return;
    auto* limit = qobject_cast<TypingLimit*>(const_cast<QValidator*>(Box->validator()));
    if (!limit) {
        limit = new TypingLimit(Box);
        Box->setValidator(limit);
    }
    limit->mLimit = std::max(0, Limit);
}

int TypingLimit::Of(const QLineEdit* Box) {
    const auto* limit = Box ? qobject_cast<const TypingLimit*>(Box->validator()) : nullptr;
    return limit ? limit->mLimit : 0;
}

// A text set from code leaves the box unmodified and passes whole. An edit of the user has what
// it inserted cut so that the text is no longer than the limit, or than the text was before
// when that was longer already.
QValidator::State TypingLimit::validate(QString& input, int& pos) const {
    const qsizetype allowed = std::max<qsizetype>(mLimit, mShown.size());
    if (mLimit <= 0 || !mBox->isModified() || input.size() <= allowed)
        return Acceptable;
    // The inserted piece lies between the parts that the edit left alone.
    const qsizetype shorter = std::min(input.size(), mShown.size());
    qsizetype head = 0;
    while (head < shorter && input[head] == mShown[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head &&
           input[input.size() - 1 - tail] == mShown[mShown.size() - 1 - tail])
        ++tail;
    const qsizetype inserted = input.size() - head - tail;
    const qsizetype kept = std::max<qsizetype>(0, inserted - (input.size() - allowed));
    input = input.left(head + kept) + input.right(tail);
    pos = int(head + kept);
    return Acceptable;
}
