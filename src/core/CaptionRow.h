#pragma once
// A row of captions and the controls beside them, placed as designed but never overlapping
// whatever the font: every label is at least as wide as its text, a control starts no further
// left than the text before it ends, and the labels' texts sit on one baseline. The designed
// places are the minimum.

#include <QRect>

#include <vector>

class QLabel;
class QWidget;

// The width a label's text needs.
int LabelTextWidth(const QLabel* label);

struct CaptionRowItem {
    QWidget* widget = nullptr;
    QRect designed; // pixels, in the parent's coordinates
};

// Places the row's widgets, left to right in the order given; `gap` pixels are kept after a
// text that pushes the next widget. Labels take the row's full height, vertically centred.
void LayoutCaptionRow(const std::vector<CaptionRowItem>& row, int gap);
