// The windows in the main window: where they open, how small they go, their icon, and the
// explorer's commands all within reach.
#include "test_WMenu_Fixture.h"

#include "sqltools/SqlEditorCommon.h"
#include "sqltools/frmCreateProcedure.h"

#include <QAction>
#include <QFrame>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

class WindowsTest : public MainWindowTest {
protected:
    void TearDown() override {
        if (frmQuery::Loaded())
            frmQuery::Default()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        MainWindowTest::TearDown();
    }

    static QImage image(const QIcon& icon) { return icon.pixmap(32, 32).toImage(); }

    // The document area's visible part, in the sub-windows' coordinates.
    QRect visibleArea() const { return main->mdiArea->viewport()->rect(); }
};

} // namespace

TEST_F(WindowsTest, TheQueryWindowOpensWhollyInsideTheDocumentArea) {
    start();
    for (const QSize size : {QSize(640, 480), QSize(1000, 700), QSize(420, 330)}) {
        main->resize(size);
        if (frmQuery::Loaded()) {
            frmQuery::Default()->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        openAndClick(QStringLiteral("(LOCAL)\\Vendas"));
        main->Explorer()->mnuQuery->trigger();
        ASSERT_TRUE(frmQuery::Loaded());
        auto* sub = qobject_cast<QMdiSubWindow*>(frmQuery::Default()->parentWidget());
        ASSERT_NE(sub, nullptr);
        EXPECT_TRUE(visibleArea().contains(sub->geometry()))
            << size.width() << "x" << size.height() << ": " << sub->geometry().y() << "+"
            << sub->geometry().height() << " in " << visibleArea().height();
    }
}

TEST_F(WindowsTest, EveryWindowShowsTheProgramsOwnIcon) {
    start();
    const QImage own = image(main->windowIcon());
    ASSERT_FALSE(own.isNull());
    EXPECT_NE(own, image(main->style()->standardIcon(QStyle::SP_TitleBarMenuButton)));
    EXPECT_NE(own,
              image(QIcon(QStringLiteral(":/qt-project.org/qmessagebox/images/qtlogo-64.png"))));

    auto* explorerFrame = qobject_cast<QMdiSubWindow*>(main->Explorer()->parentWidget());
    ASSERT_NE(explorerFrame, nullptr);
    EXPECT_EQ(image(explorerFrame->windowIcon()), own);

    openAndClick(QStringLiteral("(LOCAL)\\Vendas"));
    main->Explorer()->mnuQuery->trigger();
    auto* queryFrame = qobject_cast<QMdiSubWindow*>(frmQuery::Default()->parentWidget());
    ASSERT_NE(queryFrame, nullptr);
    EXPECT_EQ(image(queryFrame->windowIcon()), own);

    QImage editorIcon;
    QTimer::singleShot(0, main, [&] {
        if (auto* editor = qobject_cast<frmCreateProcedure*>(QApplication::activeModalWidget())) {
            editorIcon = image(editor->windowIcon());
            editor->close();
        }
    });
    main->Explorer()->mnuNewProcedure->trigger();
    EXPECT_EQ(editorIcon, own);
}

TEST_F(WindowsTest, TheProcedureEditorKeepsItsButtonsAndEditorWhenShrunk) {
    start();
    openAndClick(QStringLiteral("(LOCAL)\\Vendas"));
    bool shown = false;
    QRect dialog, buttons, ok, cancel, editor;
    QTimer::singleShot(0, main, [&] {
        auto* d = qobject_cast<frmCreateProcedure*>(QApplication::activeModalWidget());
        shown = d != nullptr;
        if (!d)
            return;
        d->resize(1, 1);
        QCoreApplication::processEvents();
        dialog = d->rect();
        buttons = d->fraBotoes->geometry();
        ok = d->cmdOK->geometry().translated(buttons.topLeft());
        cancel = d->cmdCancel->geometry().translated(buttons.topLeft());
        editor = d->txtQuery->geometry();
        d->close();
    });
    main->Explorer()->mnuNewProcedure->trigger();
    ASSERT_TRUE(shown);
    EXPECT_TRUE(dialog.contains(ok)) << dialog.width() << "x" << dialog.height();
    EXPECT_TRUE(dialog.contains(cancel));
    EXPECT_FALSE(ok.intersects(editor));
    // A few lines of the text stay in sight.
    EXPECT_GE(editor.height(), 3 * QFontMetrics(SqlEditor::EditorFont()).height());
    EXPECT_GE(editor.width(), ok.width() + cancel.width());
}

TEST_F(WindowsTest, TheExplorersCommandsAreAllInSightAtItsDefaultSize) {
    for (const QSize size : {QSize(0, 0), QSize(1400, 800)}) {
        if (!size.isEmpty()) {
            delete main.data();
            RegSetString(QStringLiteral("WWidth"), QString::number(size.width() * 15));
            RegSetString(QStringLiteral("WHeight"), QString::number(size.height() * 15));
            RegSetString(QStringLiteral("WTop"), QStringLiteral("0"));
            RegSetString(QStringLiteral("WLeft"), QStringLiteral("0"));
        }
        start();
        QToolBar* bar = main->Explorer()->tbrExplorer;
        QCoreApplication::processEvents();
        for (QAction* a : main->Explorer()->Commands()) {
            QWidget* button = bar->widgetForAction(a);
            ASSERT_NE(button, nullptr) << a->text().toStdString();
            EXPECT_TRUE(button->isVisible()) << a->text().toStdString();
            EXPECT_TRUE(bar->rect().contains(button->geometry())) << a->text().toStdString();
            EXPECT_EQ(button->toolTip().remove(u'&'), a->text().remove(u'&'));
        }
        // With room enough, each command shows its text.
        if (!size.isEmpty()) {
            EXPECT_EQ(bar->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
        }
        auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
        EXPECT_TRUE(more == nullptr || !more->isVisible());
        // The explorer's frame lies in the document area.
        auto* frame = qobject_cast<QMdiSubWindow*>(main->Explorer()->parentWidget());
        EXPECT_TRUE(visibleArea().contains(frame->geometry()));
    }
}
