// The top row of the query and table windows in any font: captions as wide as their texts,
// nothing drawn under the next control, and captions on the baseline of their values.
#include "test_frmOpenTable_Fixture.h"
#include "test_frmQuery_Fixture.h"

#include "core/Twips.h"
#include "sqltools/SqlEditorCommon.h"

#include <QLabel>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace {

QString shown(const QLabel* label) {
    return QString(label->text()).remove(u'&');
}

int textWidth(const QLabel* label) {
    return QFontMetrics(label->font()).horizontalAdvance(shown(label));
}

// The y of the text's baseline in the window, as the style draws it.
int baseline(const QLabel* label, const QWidget* form) {
    const QFontMetrics fm(label->font());
    const QRect text = label->style()->itemTextRect(fm, label->contentsRect(),
                                                    int(label->alignment()), true, shown(label));
    return label->mapTo(form, QPoint(0, text.top())).y() + fm.ascent();
}

int baseline(const QComboBox* combo, const QWidget* form) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.frame = combo->hasFrame();
    option.currentText = combo->currentText();
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                       QStyle::SC_ComboBoxEditField, combo);
    const QFontMetrics fm(combo->font());
    const QRect text = combo->style()->itemTextRect(fm, field, Qt::AlignLeft | Qt::AlignVCenter,
                                                    true, combo->currentText());
    return combo->mapTo(form, QPoint(0, text.top())).y() + fm.ascent();
}

// A label is as wide as its text, at or right of its designed left, and its text ends before
// the next control starts.
void expectCaption(const QLabel* label, int designedLeft, const QWidget* next) {
    SCOPED_TRACE(shown(label).toStdString());
    EXPECT_GE(label->width(), textWidth(label));
    EXPECT_GE(label->x(), TwipsToPixelsX(designedLeft));
    EXPECT_LE(label->x() + textWidth(label), next->x());
}

// A wide font, as on desktops whose sans-serif font runs wider than the design's.
QFont wideFont() {
    QFont f = SqlEditor::WindowFont();
    f.setPointSizeF(13);
    return f;
}

} // namespace

TEST_F(QueryWindowTest, TopRowCaptionsFitTheirTextsOnTheValuesBaseline) {
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        if (pass == 1) {
            form->setFont(wideFont());
            form->eselDatabase->setFonte(wideFont());
            form->ShowForm(server, QStringLiteral("Vendas"));
        }
        expectCaption(form->Label2, 120, form->lblServer);
        expectCaption(form->lblServer, 840, form->Label1);
        expectCaption(form->Label1, 3360, form->eselDatabase);
        EXPECT_GE(form->eselDatabase->x(), TwipsToPixelsX(4680));
        EXPECT_GE(form->eselDatabase->width(), TwipsToPixelsX(2535));
        EXPECT_LE(form->eselDatabase->geometry().right(), form->cmdExecute->x());

        const int line = baseline(form->lblServer, form);
        EXPECT_EQ(baseline(form->Label2, form), line);
        EXPECT_EQ(baseline(form->Label1, form), line);
        EXPECT_NEAR(baseline(form->eselDatabase, form), line, 1);
    }
}

TEST_F(TableWindowTest, TopRowCaptionsFitTheirTextsOnTheValuesBaseline) {
    open(QStringLiteral("Clientes"));
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        if (pass == 1) {
            form->setFont(wideFont());
            form->ShowForm(server, QStringLiteral("Vendas"), QStringLiteral("Clientes"));
        }
        expectCaption(form->Label2, 120, form->lblServer);
        expectCaption(form->lblServer, 840, form->Label1);
        expectCaption(form->Label1, 3000, form->lblDatabase);
        expectCaption(form->lblDatabase, 4200, form->cmdExecute);
        EXPECT_EQ(form->lblDatabase->text(), QStringLiteral("Vendas"));

        const int line = baseline(form->lblServer, form);
        EXPECT_EQ(baseline(form->Label2, form), line);
        EXPECT_EQ(baseline(form->Label1, form), line);
        EXPECT_EQ(baseline(form->lblDatabase, form), line);
    }
}
