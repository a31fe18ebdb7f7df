#pragma once
// The table designer on a temporary embedded instance holding the database "Loja".
#include "common/TempDir.h"
#include "controls/CListViewManager.h"
#include "controls/ScriptedListDialog.h"
#include "core/ScriptedMsgBox.h"
#include "designer/clsIndexesCOL.h"
#include "designer/frmDispStruct.h"
#include "dmo/Database.h"
#include "dmo/Databases.h"
#include "dmo/SQLServer.h"
#include "engine/Engine.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

class DesignerTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine::Instance::setDataRoot(data.path());
        server = std::make_shared<dmo::SQLServer>();
        server->SetLoginSecure(true);
        server->Connect(QStringLiteral("(LOCAL)"));
        sql(QStringLiteral("master"), QStringLiteral("CREATE DATABASE Loja"));
        sql(QStringLiteral("Loja"),
            QStringLiteral(
                "EXEC sp_addtype phone, 'varchar(20)', 'NULL'\n"
                "GO\n"
                "CREATE DEFAULT dfZero AS 0\n"
                "GO\n"
                "CREATE TABLE Pedidos (\n"
                "  Id int IDENTITY(10,5) NOT NULL CONSTRAINT PK_Pedidos PRIMARY KEY,\n"
                "  [Order Date] datetime NULL,\n"
                "  Nome varchar(40) NOT NULL,\n"
                "  Valor decimal(9,2) NULL CONSTRAINT DF_Valor DEFAULT (0),\n"
                "  Qtd int NULL,\n"
                "  Total AS (Valor * Qtd),\n"
                "  Tel phone NULL,\n"
                "  Obs nvarchar(100) NULL)\n"
                "GO\n"
                "EXEC sp_bindefault 'dfZero', 'Pedidos.Qtd'\n"
                "GO\n"
                "CREATE UNIQUE NONCLUSTERED INDEX IX_Nome ON Pedidos (Nome, [Order Date] DESC)\n"
                "CREATE INDEX IX_Obs ON Pedidos (Obs)\n"));
    }

    void TearDown() override {
        if (frmDispStruct::Loaded())
            frmDispStruct::Default()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void sql(const QString& db, const QString& text) {
        auto databases = server->Databases();
        databases->Refresh();
        databases->Item(db)->ExecuteImmediate(text);
    }

    // Rows of a query on a session of its own, columns joined by "|", NULL for null.
    QStringList query(const QString& text) {
        auto other = std::make_shared<dmo::SQLServer>();
        other->SetLoginSecure(true);
        other->Connect(QStringLiteral("(LOCAL)"));
        dmo::QueryResultsPtr r =
            other->Databases()->Item(QStringLiteral("Loja"))->ExecuteWithResults(text);
        QStringList out;
        for (int i = 1; i <= r->Rows(); ++i) {
            QStringList cells;
            for (int c = 1; c <= r->Columns(); ++c)
                cells << (r->IsNull(i, c) ? QStringLiteral("NULL") : r->GetColumnString(i, c));
            out << cells.join(u'|');
        }
        return out;
    }
    // A table's columns as the server holds them: name|type|length|nullable, in order.
    QStringList serverColumns(const QString& table) {
        return query(
            QStringLiteral("SELECT c.name, t.name, c.length, c.isnullable FROM syscolumns c "
                           "INNER JOIN systypes t ON t.xusertype = c.xusertype "
                           "WHERE c.id = OBJECT_ID('") +
            table + QStringLiteral("') ORDER BY c.colid"));
    }
    // Presses "&Gravar"; a save that ran closes the window.
    void save() {
        QTest::mouseClick(form->cmdGravar, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        form = frmDispStruct::Loaded() ? frmDispStruct::Default() : nullptr;
    }

    // Opens a table as the explorer's edit-table command does.
    frmDispStruct* open(const QString& table = QStringLiteral("Pedidos")) {
        QString name = table;
        frmDispStruct::Open(QStringLiteral("A"), server, QStringLiteral("Loja"), name,
                            QStringLiteral("dbo"));
        return activate();
    }

    frmDispStruct* activate() {
        if (!frmDispStruct::Loaded())
            return nullptr;
        form = frmDispStruct::Default();
        QApplication::setActiveWindow(form->window());
        return form;
    }

    CListViewManager& list() { return *form->mStructure; }
    int rows() { return list().Count(); }
    QVariant value(int row, const char* field) {
        return list().GetColumnValue(QString::fromLatin1(field), row);
    }
    // What the user reads in a cell.
    QString cell(int row, const char* field) {
        const int column = list().ColumnIndex(QString::fromLatin1(field));
        QTreeWidgetItem* item = list().Item(row);
        return item && column >= 0 ? item->text(column) : QStringLiteral("<none>");
    }
    int row(const QString& name) { return list().FindItem(QStringLiteral("Name"), name); }
    bool hasKeyIcon(int row) {
        return list().Item(row)->icon(0).cacheKey() == form->imgListStruct[1].cacheKey();
    }

    // Clicks a row as the user does.
    void click(int row) {
        QTreeWidgetItem* item = list().Item(row);
        const QRect r = form->lvwStructure->visualItemRect(item);
        QTest::mouseClick(form->lvwStructure->viewport(), Qt::LeftButton, {}, r.center());
    }
    // Replaces a box's text by typing.
    void type(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    void typeType(const QString& text) {
        form->cboDataType->setFocus();
        form->cboDataType->lineEdit()->selectAll();
        QTest::keyClick(form->cboDataType->lineEdit(), Qt::Key_Delete);
        QTest::keyClicks(form->cboDataType->lineEdit(), text);
    }
    // Moves the focus away, which runs the box's leave check.
    void leaveTo(QWidget* next) { next->setFocus(Qt::TabFocusReason); }
    void apply() { QTest::mouseClick(form->cmdOK, Qt::LeftButton); }
    QString entryColumns(const QString& index) {
        auto entry = form->mIndexes->FindIDX(index);
        if (!entry) // deleted entries too
            for (const auto& e : *form->mIndexes)
                if (e->Act_IndexName() == index)
                    entry = e;
        return entry ? entry->Act_IndexColumns() : QStringLiteral("<none>");
    }
    bool entryDeleted(const QString& index) {
        for (const auto& e : *form->mIndexes)
            if (e->Act_IndexName() == index)
                return e->Deleted();
        return false;
    }

    TempDir data;
    std::shared_ptr<dmo::SQLServer> server;
    frmDispStruct* form = nullptr;
};
