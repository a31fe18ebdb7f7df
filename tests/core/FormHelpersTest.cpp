#include "core/FormHelpers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

template <class W> W* make(QWidget* parent, const QString& name) {
    auto* w = new W(parent);
    w->setObjectName(name);
    if (parent->layout())
        parent->layout()->addWidget(w);
    return w;
}

// A window shaped like the index editor: controls in a frame, a nested frame, buttons.
struct Window {
    QWidget frm;
    QGroupBox* fraControlos;
    QComboBox* cboIndex;
    QLineEdit* txtName;
    QLabel* lblName;
    QGroupBox* fraUnique;
    QCheckBox* chkIgnoreDupKeys;
    QPushButton* cmdFechar;
    QPushButton* CmdCancelar;
    QLineEdit* txtSpared;
    QLineEdit* txtOutside;
    QAction* mnuNew;
    QAction* mnuTagged;

    Window() {
        new QVBoxLayout(&frm);
        fraControlos = make<QGroupBox>(&frm, "fraControlos");
        new QVBoxLayout(fraControlos);
        cboIndex = make<QComboBox>(fraControlos, "cboIndex");
        txtName = make<QLineEdit>(fraControlos, "txtName");
        lblName = make<QLabel>(fraControlos, "lblName");
        fraUnique = make<QGroupBox>(fraControlos, "fraUnique");
        new QVBoxLayout(fraUnique);
        chkIgnoreDupKeys = make<QCheckBox>(fraUnique, "chkIgnoreDupKeys");
        cmdFechar = make<QPushButton>(fraControlos, "cmdFechar");
        CmdCancelar = make<QPushButton>(fraControlos, "CmdCancelar");
        txtSpared = make<QLineEdit>(fraControlos, "txtSpared");
        SetTag(txtSpared, "0");
        txtOutside = make<QLineEdit>(&frm, "txtOutside");
        mnuNew = new QAction("Novo", &frm);
        mnuNew->setObjectName("mnuNew");
        mnuTagged = new QAction("Outro", &frm);
        mnuTagged->setObjectName("mnuTagged");
        SetTag(mnuTagged, "0");
    }
};

} // namespace

TEST(EnableControls, WithoutRecursionNestedFramesAreLeftAlone) {
    Window w;
    EnableControls(&w.frm, w.fraControlos, false, false);
    EXPECT_FALSE(w.cboIndex->isEnabled());
    EXPECT_FALSE(w.txtName->isEnabled());
    EXPECT_FALSE(w.lblName->isEnabled());
    EXPECT_TRUE(w.fraUnique->isEnabled());
    EXPECT_TRUE(w.chkIgnoreDupKeys->isEnabled());
    EXPECT_TRUE(w.cmdFechar->isEnabled());
    EXPECT_TRUE(w.CmdCancelar->isEnabled());
    EXPECT_TRUE(w.txtSpared->isEnabled());
    EXPECT_TRUE(w.txtOutside->isEnabled());
    EXPECT_TRUE(w.fraControlos->isEnabled());
    // Menu items have no container: they are reached as well.
    EXPECT_FALSE(w.mnuNew->isEnabled());
    EXPECT_TRUE(w.mnuTagged->isEnabled());
}

TEST(EnableControls, WithRecursionTheNestedFramesControlsFollow) {
    Window w;
    EnableControls(&w.frm, w.fraControlos, false, true);
    EXPECT_TRUE(w.fraUnique->isEnabled());
    EXPECT_FALSE(w.chkIgnoreDupKeys->isEnabled());
    EXPECT_TRUE(w.cmdFechar->isEnabled());
    EnableControls(&w.frm, w.fraControlos, true, true);
    EXPECT_TRUE(w.chkIgnoreDupKeys->isEnabled());
    EXPECT_TRUE(w.cboIndex->isEnabled());
    EXPECT_TRUE(w.mnuNew->isEnabled());
}

TEST(EnableControls, TabPagesAreContainersAndTheTabBarIsNotTouched) {
    QWidget frm;
    auto* tabs = new QTabWidget(&frm);
    auto* page = new QWidget;
    auto* txt = new QLineEdit(page);
    tabs->addTab(page, "Geral");
    EnableControls(&frm, &frm, false, true);
    EXPECT_FALSE(txt->isEnabled());
    EXPECT_TRUE(tabs->isEnabled());
    EXPECT_TRUE(tabs->tabBar()->isEnabled());
}

TEST(FormHelpers, CenterFormOverTheParentOrAlignedWithIt) {
    QWidget parent, frm;
    parent.setGeometry(50, 60, 400, 300);
    frm.resize(200, 100);
    CenterForm(&frm, &parent);
    EXPECT_EQ(frm.frameGeometry().topLeft(), QPoint(150, 160));
    frm.resize(500, 100); // wider than the parent: left edges meet
    CenterForm(&frm, &parent);
    EXPECT_EQ(frm.frameGeometry().topLeft(), QPoint(50, 160));
    frm.resize(100, 400); // taller: top edges meet
    CenterForm(&frm, &parent);
    EXPECT_EQ(frm.frameGeometry().topLeft(), QPoint(200, 60));
}

TEST(FormHelpers, HelpContextReachesEveryControl) {
    QWidget frm;
    auto* box = new QGroupBox(&frm);
    auto* txt = new QLineEdit(box);
    SetHelpContextID(&frm, 4100);
    SetHelpContext(&frm);
    EXPECT_EQ(HelpContextID(box), 4100);
    EXPECT_EQ(HelpContextID(txt), 4100);
}

TEST(FormHelpers, SelectAllTextSelectsTheWholeText) {
    QWidget frm;
    auto* txt = new QLineEdit("Tabela1", &frm);
    frm.show();
    txt->setCursorPosition(3);
    SelectAllText(txt);
    EXPECT_EQ(txt->selectedText(), "Tabela1");
}

TEST(FormHelpers, CenterFormWithoutAParentCentresOnTheScreen) {
    QWidget frm;
    frm.resize(300, 200);
    CenterForm(&frm);
    const QRect s = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(frm.frameGeometry().center().x() / 2, s.center().x() / 2);
    EXPECT_EQ(frm.frameGeometry().center().y() / 2, s.center().y() / 2);
}

TEST(FormHelpers, SetupChildFormTakesTheMainWindowsIcon) {
    QMainWindow main;
    QPixmap px(16, 16);
    px.fill(Qt::red);
    main.setWindowIcon(QIcon(px));
    QWidget child;
    child.setWindowTitle("Queries");
    SetupChildForm(&child);
    EXPECT_EQ(child.windowIcon().cacheKey(), main.windowIcon().cacheKey());
    EXPECT_EQ(child.windowTitle(), "Queries");
}
