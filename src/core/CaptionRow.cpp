#include "core/CaptionRow.h"

#include <QLabel>

#include <algorithm>
#include <climits>

int LabelTextWidth(const QLabel* label) {
    return label->sizeHint().width();
}

void LayoutCaptionRow(const std::vector<CaptionRowItem>& row, int gap) {
    if (row.empty())
        return;
    // The band every label's text is centred in: the row's designed top to its lowest bottom.
    int top = INT_MAX;
    int bottom = INT_MIN;
    for (const CaptionRowItem& item : row) {
        top = std::min(top, item.designed.top());
        bottom = std::max(bottom, item.designed.top() + item.designed.height());
    }
    int textEnd = INT_MIN;
    for (const CaptionRowItem& item : row) {
        int left = item.designed.left();
        if (textEnd != INT_MIN)
            left = std::max(left, textEnd + gap);
        if (auto* label = qobject_cast<QLabel*>(item.widget)) {
            const int text = LabelTextWidth(label);
            label->setAlignment((label->alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
            label->setGeometry(left, top, std::max(item.designed.width(), text), bottom - top);
            textEnd = left + text;
        } else {
            item.widget->setGeometry(left, item.designed.top(), item.designed.width(),
                                     item.designed.height());
            textEnd = left + item.designed.width();
        }
    }
}
