// The designer at its minimum and default sizes, with several fonts: every control of the
// editor and every button whole, inside what its frames show and apart from the others; labels
// and list headers as wide as their texts.
#include "test_frmDispStruct_Fixture.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStyle>

namespace {

QString Caption(QString text) {
    return text.remove(u'&');
}

// What is wrong with the layout as the user would see it; empty when nothing is.
QStringList LayoutFaults(frmDispStruct* form) {
    QStringList faults;
    auto name = [](const QWidget* w) { return w->objectName(); };
    const QRect window = form->rect();
    // Each control inside the part of its container that the window shows.
    auto visibleRect = [&](const QWidget* w) {
        QRect r = window;
        for (const QWidget* p = w->parentWidget(); p && p != form; p = p->parentWidget())
            r &= QRect(p->mapTo(form, QPoint(0, 0)), p->size());
        return r;
    };
    auto check = [&](QWidget* w) {
        const QRect r(w->mapTo(form, QPoint(0, 0)), w->size());
        if (!visibleRect(w).contains(r))
            faults << name(w) + QStringLiteral(" cut off");
        if (w->height() < w->minimumSizeHint().height())
            faults << name(w) + QStringLiteral(" too low");
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (w->width() < label->fontMetrics().horizontalAdvance(Caption(label->text())))
                faults << name(w) + QStringLiteral(" narrower than its text");
        } else if (qobject_cast<QAbstractButton*>(w) && !qobject_cast<QToolButton*>(w)) {
            if (w->width() < w->sizeHint().width())
                faults << name(w) + QStringLiteral(" narrower than its caption");
        }
    };
    // The window's own controls, by the names its design gives them.
    auto designed = [](const QWidget* w) {
        static const QStringList prefixes{"lbl", "txt", "cbo", "chk", "cmd", "fra", "lvw"};
        for (const QString& p : prefixes)
            if (w->objectName().startsWith(p))
                return true;
        return false;
    };
    QList<QWidget*> controls;
    for (QWidget* w : form->findChildren<QWidget*>())
        if (designed(w) && w != form->fraIdentity && w != form->fraList && w != form->fraUpDown)
            controls << w;
    for (QWidget* w : controls)
        check(w);
    // Apart from one another, so that each can be clicked.
    for (int i = 0; i < controls.size(); ++i)
        for (int j = i + 1; j < controls.size(); ++j) {
            QWidget* a = controls[i];
            QWidget* b = controls[j];
            if (a->parentWidget() != b->parentWidget())
                continue;
            if (a->geometry().intersects(b->geometry()))
                faults << name(a) + QStringLiteral(" over ") + name(b);
        }
    // Column headers.
    QHeaderView* header = form->lvwStructure->header();
    const int margin = form->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int c = 0; c < form->lvwStructure->columnCount(); ++c) {
        if (header->isSectionHidden(c) || header->sectionSize(c) == 0)
            continue;
        const QString text = form->lvwStructure->headerItem()->text(c);
        if (header->sectionSize(c) < header->fontMetrics().horizontalAdvance(text) + 2 * margin)
            faults << QStringLiteral("header ") + text + QStringLiteral(" cut");
    }
    return faults;
}

int ListColumn(frmDispStruct* form, const char* field) {
    return form->mStructure->ColumnIndex(QString::fromLatin1(field));
}

std::string Describe(frmDispStruct* form) {
    return LayoutFaults(form).join(QStringLiteral(", ")).toStdString();
}

class DesignerLayoutTest : public DesignerTest {
protected:
    void TearDown() override {
        DesignerTest::TearDown();
        QApplication::setFont(savedFont);
    }
    // The window at its least size: the user drags it smaller than it can go.
    void toMinimum() {
        form->OuterWindow()->resize(50, 40);
        QApplication::processEvents();
    }
    void toDefault(const QSize& size) {
        form->OuterWindow()->resize(size);
        QApplication::processEvents();
    }
    const QFont savedFont = QApplication::font();
};

} // namespace

TEST_F(DesignerLayoutTest, EditorWholeAtTheMinimumAndDefaultSizes) {
    ASSERT_TRUE(open());
    form->show();
    QApplication::processEvents();
    const QSize byDefault = form->OuterWindow()->size();
    EXPECT_EQ(Describe(form), "");
    toMinimum();
    EXPECT_GE(form->OuterWidthTwips(), 9795);
    EXPECT_GE(form->OuterHeightTwips(), 5190);
    EXPECT_EQ(Describe(form), "");
    toDefault(byDefault);
    EXPECT_EQ(Describe(form), "");
}

TEST_F(DesignerLayoutTest, EditorWholeInTheDocumentAreaWithOtherFonts) {
    QMainWindow main;
    auto* mdi = new QMdiArea(&main);
    main.setCentralWidget(mdi);
    main.resize(1400, 1000);
    main.show();
    const QStringList families = QFontDatabase::families();
    for (const char* family : {"DejaVu Sans", "Nimbus Sans", "URW Gothic", "URW Bookman"}) {
        if (!families.contains(QString::fromLatin1(family)))
            continue;
        for (int points : {9, 12}) {
            SCOPED_TRACE(std::string(family) + " " + std::to_string(points));
            QFont font(QString::fromLatin1(family));
            font.setPointSize(points);
            QApplication::setFont(font);
            ASSERT_TRUE(open());
            QApplication::processEvents();
            ASSERT_TRUE(qobject_cast<QMdiSubWindow*>(form->parentWidget()));
            const QSize byDefault = form->OuterWindow()->size();
            EXPECT_EQ(Describe(form), "");
            toMinimum();
            EXPECT_GE(form->OuterWidthTwips(), 9795);
            EXPECT_GE(form->OuterHeightTwips(), 5190);
            EXPECT_EQ(Describe(form), "");
            toDefault(byDefault);
            EXPECT_EQ(Describe(form), "");
            form->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QApplication::processEvents();
        }
    }
}

// Opened in a main window of 1024 by 700 pixels, with small and large fonts: the designer lies
// inside the document area, the list's columns fit the list without a horizontal scroll bar,
// and the type column shows every row's type whole ("phone (varchar)").
TEST_F(DesignerLayoutTest, OpensInsideTheDocumentAreaWithTheListsColumnsWhole) {
    QMainWindow main;
    main.menuBar()->addMenu(QStringLiteral("&Ficheiro"));
    auto* mdi = new QMdiArea(&main);
    main.setCentralWidget(mdi);
    main.resize(1024, 700);
    main.show();
    // A window already open in the document area, as the explorer is.
    QMdiSubWindow* explorer = mdi->addSubWindow(new QWidget);
    explorer->setGeometry(0, 0, 320, 560);
    explorer->show();
    QApplication::processEvents();
    const QStringList families = QFontDatabase::families();
    for (const char* family : {"DejaVu Sans", "Nimbus Sans", "URW Gothic", "URW Bookman"}) {
        if (!families.contains(QString::fromLatin1(family)))
            continue;
        for (int points : {9, 12}) {
            SCOPED_TRACE(std::string(family) + " " + std::to_string(points));
            QFont font(QString::fromLatin1(family));
            font.setPointSize(points);
            QApplication::setFont(font);
            QTest::qWait(50); // the main window takes the fonts first
            ASSERT_TRUE(open());
            QTest::qWait(100); // the window settles at the size its fonts need
            const QRect area = mdi->viewport()->rect();
            const QRect window = form->OuterWindow()->geometry();
            EXPECT_TRUE(area.contains(window))
                << window.x() << "," << window.y() << " " << window.width() << "x"
                << window.height() << " in " << area.width() << "x" << area.height();
            QTreeWidget* list = form->lvwStructure;
            int columns = 0;
            for (int c = 0; c < list->columnCount(); ++c)
                if (!list->isColumnHidden(c))
                    columns += list->columnWidth(c);
            EXPECT_LE(columns, list->viewport()->width());
            EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
            const int type = ListColumn(form, "DataType");
            EXPECT_EQ(list->topLevelItem(row(QStringLiteral("Tel")) - 1)->text(type),
                      "phone (varchar)");
            EXPECT_GE(list->columnWidth(type),
                      static_cast<QAbstractItemView*>(list)->sizeHintForColumn(type));
            EXPECT_EQ(Describe(form), "");
            form->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QApplication::processEvents();
        }
    }
}
