#pragma once
// The index editor over a designer column list of table Cliente, on a temporary embedded
// instance whose database "Loja" has the filegroups PRIMARY and Arquivo.
#include "common/TempDir.h"
#include "controls/CListViewManager.h"
#include "controls/ScriptedListDialog.h"
#include "core/ScriptedMsgBox.h"
#include "designer/ColumnRecord.h"
#include "designer/clsIndexesCOL.h"
#include "designer/frmDispStructIndex.h"
#include "dmo/Database.h"
#include "dmo/Databases.h"
#include "dmo/SQLServer.h"
#include "engine/Engine.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

class IndexEditorTest : public ::testing::Test {
protected:
    using Form = frmDispStructIndex;

    void SetUp() override {
        engine::Instance::setDataRoot(data.path());
        server = std::make_shared<dmo::SQLServer>();
        server->SetLoginSecure(true);
        server->Connect(QStringLiteral("(LOCAL)"));
        auto databases = server->Databases();
        databases->Item(QStringLiteral("master"))
            ->ExecuteImmediate(QStringLiteral("CREATE DATABASE Loja\nGO\n"
                                              "ALTER DATABASE Loja ADD FILEGROUP Arquivo"));
        databases->Refresh(true);
        db = databases->Item(QStringLiteral("Loja"));

        structureList = new QTreeWidget(&designer);
        structure.setListView(structureList);
        AppendColumnRecord(structure, &designer);
        column(QStringLiteral("Id"), QStringLiteral("int"));
        column(QStringLiteral("Nome"), QStringLiteral("varchar"));
        column(QStringLiteral("Notas"), QStringLiteral("text"));
        column(QStringLiteral("[Data Venda]"), QStringLiteral("datetime"));
        column(QStringLiteral("Memo"), QStringLiteral("NText "));
        column(QStringLiteral("Codigo"), QStringLiteral("codigo (char)"));
    }

    // A row of the designer's column list.
    void column(const QString& name, const QString& type) {
        const int row = structure.AddNewItem();
        structure.SetColumnValue(QStringLiteral("Name"), name, row);
        structure.SetColumnValue(QStringLiteral("DataType"), type, row);
        structure.SetColumnValue(QStringLiteral("OriginalName"), name, row);
    }

    // An index of the model as the loader makes it.
    clsIndexesCOL::Entry index(const QString& name, const QString& columns, bool unique = false,
                               bool constraint = false, bool clustered = false,
                               const QString& group = QStringLiteral("PRIMARY"), int fill = 0) {
        return indexes.Add(false, name, 0, group, fill, false, 7, false, false, 0, false, columns,
                           clustered, constraint, false, unique);
    }
    clsIndexesCOL::Entry primaryKey(bool clustered = true) {
        auto e =
            index(QStringLiteral("PK_Cliente"), QStringLiteral("Id<@>A<#>"), true, true, clustered);
        e->setIndexIsPK(true);
        return e;
    }

    // Opens the editor and runs the script in it as the user; a window the script leaves open
    // is closed (a cancel).
    bool run(const std::function<void(Form*)>& script) {
        shown = false;
        QTimer timer; // dies with this call, so a window never shown leaves no script behind
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [this, script] {
            Form* f = Form::Current();
            if (!f || !f->isVisible())
                return;
            shown = true;
            QApplication::setActiveWindow(f);
            f->activateWindow();
            script(f);
            if (Form::Current() && Form::Current()->isVisible())
                Form::Current()->close();
        });
        timer.start(0);
        const bool result = Form::ShowIDX(indexes, structure, db.get(), QStringLiteral("Cliente"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return result;
    }

    // User actions.
    static void type(QLineEdit* box, const QString& text) {
        box->setFocus(Qt::TabFocusReason);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    static void leaveTo(QWidget* next) { next->setFocus(Qt::TabFocusReason); }
    static void choose(QComboBox* box, const QString& text) {
        box->setFocus(Qt::MouseFocusReason);
        box->setCurrentIndex(box->findText(text));
    }
    // A check box or option button is clicked on its mark, a push button in its middle.
    static void click(QAbstractButton* button) {
        const bool mark = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
        QTest::mouseClick(button, Qt::LeftButton, {},
                          mark ? QPoint(8, button->height() / 2) : button->rect().center());
    }
    static int row(Form* f, const QString& name) {
        return f->ColumnList()->FindItem(QStringLiteral("Name"), name);
    }
    static void check(Form* f, const QString& name, bool on) {
        QTreeWidgetItem* item = f->ColumnList()->Item(row(f, name));
        ASSERT_NE(item, nullptr) << name.toStdString();
        item->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
    }
    static void clickRow(Form* f, const QString& name) {
        QTreeWidgetItem* item = f->ColumnList()->Item(row(f, name));
        ASSERT_NE(item, nullptr) << name.toStdString();
        const QRect r = f->lvwColumns->visualItemRect(item);
        QTest::mouseClick(f->lvwColumns->viewport(), Qt::LeftButton, {}, r.center());
    }
    // The checked rows with the direction each shows, as "Name:Ascendente ...".
    static QString keys(Form* f) {
        QStringList out;
        CListViewManager* list = f->ColumnList();
        const int orderColumn = list->ColumnIndex(QStringLiteral("Order"));
        for (int i = 1; i <= list->Count(); ++i)
            if (list->Checked(i))
                out << list->Item(i)->text(0) + u':' + list->Item(i)->text(orderColumn);
        return out.join(u' ');
    }
    static QStringList listed(Form* f) {
        QStringList out;
        for (int i = 0; i < f->cboIndex->count(); ++i)
            out << f->cboIndex->itemText(i);
        return out;
    }

    // The model's entries by edited name (deleted ones too); nullptr when none.
    clsIndexesCOL::Entry entry(const QString& name) const {
        for (const auto& e : indexes)
            if (e->Act_IndexName() == name)
                return e;
        return nullptr;
    }
    std::vector<clsIndexes> snapshot() const {
        std::vector<clsIndexes> out;
        for (const auto& e : indexes)
            out.push_back(*e);
        return out;
    }

    TempDir data;
    std::shared_ptr<dmo::SQLServer> server;
    dmo::DatabasePtr db;
    QWidget designer;
    QTreeWidget* structureList = nullptr;
    CListViewManager structure;
    clsIndexesCOL indexes;
    ScriptedMsgBox msgs;
    ScriptedListDialog choices;
    bool shown = false;
};
