// The table designer's layout: the buttons and the column editor at their designed places in
// twips, moved right or down and widened where the fonts need more room, and the window's
// minimum size that keeps every one of them whole.
#include "designer/frmDispStruct.h"

#include "controls/CListViewManager.h"
#include "core/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <initializer_list>

namespace {

int X(int twips) {
    return TwipsToPixelsX(twips);
}
int Y(int twips) {
    return TwipsToPixelsY(twips);
}
// A control's width: its designed width, or what its text needs when that is more.
int WidthFor(const QWidget* w, int designedTwips) {
    return std::max(X(designedTwips), w->sizeHint().width());
}
int HeightOf(std::initializer_list<const QWidget*> widgets, int designedTwips) {
    int h = Y(designedTwips);
    for (const QWidget* w : widgets)
        h = std::max({h, w->sizeHint().height(), w->minimumSizeHint().height()});
    return h;
}

} // namespace

void frmDispStruct::LayoutControls() {
    const int gap = X(60);

    // The button frame: one row, each button as wide as its caption needs.
    int buttonH = Y(375);
    for (QPushButton* b :
         {cmdGravar, cmdProcurar, cmdRemovePK, cmdPK, cmdIdx, cmdEliminar, cmdNova})
        buttonH = std::max(buttonH, b->sizeHint().height());
    int bx = X(120);
    for (QPushButton* b :
         {cmdGravar, cmdProcurar, cmdRemovePK, cmdPK, cmdIdx, cmdEliminar, cmdNova}) {
        const int w = WidthFor(b, 1200);
        b->setGeometry(bx, Y(60), w, buttonH);
        bx += w + X(90);
    }
    fraBotoes->setGeometry(0, Y(120), bx + X(30), std::max(Y(500), buttonH + Y(120)));

    // The editor: five rows of boxes in two columns, the buttons in a sixth.
    const int rowH =
        HeightOf({txtColumnName, cboDataType, txtLength, txtDescription, cboDefault, txtPrecision,
                  txtScale, txtSeed, txtIncrement, txtFormula, txtCollation, cmdPesqCollation,
                  chkAllowNulls, chkIdentity, chkUniqueIdentifier},
                 315);
    const int pitch = std::max(Y(390), rowH + Y(60));
    auto rowY = [&](int row) { return Y(90) + row * pitch; };
    // Places a control on a row, centred on it; returns its right edge.
    auto place = [&](QWidget* w, int x, int row, int width) {
        const int h = qobject_cast<QLabel*>(w) ? std::max(Y(255), w->sizeHint().height()) : rowH;
        w->setGeometry(x, rowY(row) + (rowH - h) / 2, width, h);
        return x + width;
    };

    // Column 1: the boxes start after the widest label.
    const QLabel* labels1[] = {lblColumnName, lblDataType, lblLength, lblDescription,
                               lblDefaultValue};
    int box1 = X(1700);
    for (const QLabel* l : labels1)
        box1 = std::max(box1, X(120) + WidthFor(l, 1500) + gap);
    int row = 0;
    for (QLabel* l : {lblColumnName, lblDataType, lblLength, lblDescription, lblDefaultValue})
        place(l, X(120), row++, WidthFor(l, 1500));
    const int wide1 = X(2600);
    int col1Right = place(txtColumnName, box1, 0, wide1);
    place(cboDataType, box1, 1, wide1);
    const int lengthRight = place(txtLength, box1, 2, X(800));
    col1Right = std::max(
        col1Right, place(chkAllowNulls, lengthRight + X(120), 2, WidthFor(chkAllowNulls, 1400)));
    place(txtDescription, box1, 3, wide1);
    place(cboDefault, box1, 4, wide1);

    // Column 2, after column 1.
    const int col2 = std::max(X(4750), col1Right + X(180));
    int box2 = col2 + X(1000);
    for (const QLabel* l : {lblPrecision, lblFormula, lblCollation})
        box2 = std::max(box2, col2 + WidthFor(l, 800) + gap);
    place(lblPrecision, col2, 0, WidthFor(lblPrecision, 800));
    int x = place(txtPrecision, box2, 0, X(600)) + X(120);
    x = place(lblScale, x, 0, WidthFor(lblScale, 650)) + gap;
    int right = place(txtScale, x, 0, X(600));
    x = place(chkIdentity, col2, 1, WidthFor(chkIdentity, 1400)) + X(150);
    right = std::max(right, place(chkUniqueIdentifier, x, 1, WidthFor(chkUniqueIdentifier, 2200)));
    // The identity frame holds the seed and the increment with their labels.
    {
        const int seedLabelW = WidthFor(lblIdentitySeed, 800);
        const int incrementLabelW = WidthFor(lblIdentityIncrement, 1400);
        const int lh = std::max(Y(255), lblIdentitySeed->sizeHint().height());
        int fx = 0;
        lblIdentitySeed->setGeometry(fx, (rowH - lh) / 2, seedLabelW, lh);
        fx += seedLabelW + gap;
        txtSeed->setGeometry(fx, 0, X(1100), rowH);
        fx += X(1100) + X(120);
        lblIdentityIncrement->setGeometry(fx, (rowH - lh) / 2, incrementLabelW, lh);
        fx += incrementLabelW + gap;
        txtIncrement->setGeometry(fx, 0, X(800), rowH);
        fx += X(800);
        fraIdentity->setGeometry(col2, rowY(2), fx, rowH);
        right = std::max(right, col2 + fx);
    }
    // Formula and collation end together, at the designed edge or further when needed.
    int boxRight = std::max({X(9375), right, box2 + X(3350)});
    place(lblFormula, col2, 3, WidthFor(lblFormula, 800));
    place(txtFormula, box2, 3, boxRight - box2);
    place(lblCollation, col2, 4, WidthFor(lblCollation, 800));
    const int dotsW = WidthFor(cmdPesqCollation, 390);
    const int collationW = std::max(X(2900), boxRight - box2 - gap - dotsW);
    boxRight = std::max(boxRight, place(cmdPesqCollation, box2 + collationW + gap, 4, dotsW));
    place(txtCollation, box2, 4, collationW);
    // Actualizar and Cancelar at the right, under them.
    const int okH = HeightOf({cmdOK, cmdCancelar}, 375);
    const int okW = std::max(WidthFor(cmdOK, 1350), WidthFor(cmdCancelar, 1350));
    const int okY = rowY(5) + Y(60);
    cmdCancelar->setGeometry(boxRight - okW, okY, okW, okH);
    cmdOK->setGeometry(boxRight - 2 * okW - X(100), okY, okW, okH);

    fraControlos->resize(fraControlos->width(), std::max(Y(2700), okY + okH + Y(120)));
    mContentWidth = std::max(boxRight + X(120), fraBotoes->geometry().right() + X(120));
}

void frmDispStruct::FitListHeader() {
    QHeaderView* header = lvwStructure->header();
    const int typeColumn = mStructure ? mStructure->ColumnIndex(QStringLiteral("DataType")) : -1;
    for (int c = 0; c < lvwStructure->columnCount(); ++c) {
        if (lvwStructure->isColumnHidden(c) || lvwStructure->columnWidth(c) == 0)
            continue;
        int needed = header->sectionSizeHint(c);
        // The type column shows every type of the type list whole.
        if (c == typeColumn) {
            const QFontMetrics metrics(lvwStructure->font());
            const int margin =
                2 * (lvwStructure->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr,
                                                        lvwStructure) +
                     1);
            for (int i = 0; i < cboDataType->count(); ++i)
                needed = std::max(needed,
                                  metrics.horizontalAdvance(cboDataType->itemText(i)) + margin);
            needed = std::max(
                needed, static_cast<QAbstractItemView*>(lvwStructure)->sizeHintForColumn(c));
        }
        if (lvwStructure->columnWidth(c) < needed)
            lvwStructure->setColumnWidth(c, needed);
    }
}

int frmDispStruct::OtherColumnsWidth(int NameColumn) const {
    int others = 0;
    for (int c = 0; c < lvwStructure->columnCount(); ++c)
        if (c != NameColumn && !lvwStructure->isColumnHidden(c))
            others += lvwStructure->columnWidth(c);
    return others;
}

int frmDispStruct::ListLeastWidth() const {
    const int nameColumn = mStructure ? mStructure->ColumnIndex(QStringLiteral("Name")) : -1;
    if (nameColumn < 0)
        return 0;
    return 2 * lvwStructure->frameWidth() + lvwStructure->verticalScrollBar()->sizeHint().width() +
           OtherColumnsWidth(nameColumn) + lvwStructure->header()->sectionSizeHint(nameColumn);
}

void frmDispStruct::FitNameColumn() {
    const int nameColumn = mStructure ? mStructure->ColumnIndex(QStringLiteral("Name")) : -1;
    if (nameColumn < 0)
        return;
    // The room the list has with its vertical scroll bar, shown or not.
    const int room = lvwStructure->maximumViewportSize().width() -
                     lvwStructure->verticalScrollBar()->sizeHint().width();
    const int least = lvwStructure->header()->sectionSizeHint(nameColumn);
    lvwStructure->setColumnWidth(nameColumn,
                                 std::max(least, room - OtherColumnsWidth(nameColumn)));
}

void frmDispStruct::KeepInsideDocumentArea() {
    auto* sub = qobject_cast<QMdiSubWindow*>(OuterWindow());
    QMdiArea* mdi = sub ? sub->mdiArea() : nullptr;
    if (!mdi || sub->isMaximized())
        return;
    const QSize area = mdi->viewport()->size();
    QPoint at = sub->pos();
    at.setX(std::max(0, std::min(at.x(), area.width() - sub->width())));
    at.setY(std::max(0, std::min(at.y(), area.height() - sub->height())));
    if (at != sub->pos())
        sub->move(at);
}
