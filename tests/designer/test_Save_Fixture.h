#pragma once
// Shared set-up for saving designs through the designer window on a real temporary server:
// a database "Shop", T-SQL on the designer's connection, and queries read back on a session of
// their own.
#include "designer/frmDispStruct.h"

#include "common/TempDir.h"
#include "controls/CListViewManager.h"
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
#include <QTreeWidget>

#include <gtest/gtest.h>

class SaveFixture : public ::testing::Test {
protected:
    void SetUp() override {
        engine::Instance::setDataRoot(dir.path());
        server = connect();
        server->Databases()->Item("master")->ExecuteImmediate("CREATE DATABASE Shop");
        server->Databases()->Refresh(true);
    }
    void TearDown() override {
        if (frmDispStruct::Loaded())
            frmDispStruct::Default()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::shared_ptr<dmo::SQLServer> connect() {
        auto s = std::make_shared<dmo::SQLServer>();
        s->SetLoginSecure(true);
        s->Connect("(LOCAL)");
        return s;
    }
    void run(const QString& sql) { server->Databases()->Item("Shop")->ExecuteImmediate(sql); }

    // Rows of a query on a session of its own, columns joined by "|", NULL for null.
    QStringList query(const QString& sql) {
        auto s = connect();
        dmo::QueryResultsPtr r = s->Databases()->Item("Shop")->ExecuteWithResults(sql);
        QStringList rows;
        for (int i = 1; i <= r->Rows(); ++i) {
            QStringList cells;
            for (int c = 1; c <= r->Columns(); ++c)
                cells << (r->IsNull(i, c) ? QStringLiteral("NULL") : r->GetColumnString(i, c));
            rows << cells.join('|');
        }
        return rows;
    }

    frmDispStruct* open(const QString& table, const QString& owner = "dbo") {
        QString name = table;
        frmDispStruct::Open("A", server, "Shop", name, owner);
        if (!frmDispStruct::Loaded())
            return nullptr;
        QApplication::setActiveWindow(frmDispStruct::Default()->window());
        return frmDispStruct::Default();
    }

    // The column editor, as the user works it: click the column's row, type over the boxes,
    // press Actualizar.
    void pick(frmDispStruct* f, const QString& column) {
        const int i = item(f, column);
        ASSERT_GT(i, 0) << column.toStdString();
        const QRect r = f->lvwStructure->visualItemRect(f->mStructure->Item(i));
        QTest::mouseClick(f->lvwStructure->viewport(), Qt::LeftButton, {}, r.center());
        ASSERT_EQ(f->mStructure->SelectedIndex(), i);
    }
    // Key presses for the text, accented letters included.
    static void keys(QWidget* w, const QString& text) {
        for (const QChar c : text) {
            if (c.unicode() < 128)
                QTest::keyClick(w, char(c.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    void type(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        keys(box, text);
    }
    void typeType(frmDispStruct* f, const QString& type) {
        f->cboDataType->setFocus();
        f->cboDataType->lineEdit()->selectAll();
        QTest::keyClick(f->cboDataType->lineEdit(), Qt::Key_Delete);
        keys(f->cboDataType->lineEdit(), type);
    }
    void apply(frmDispStruct* f) { QTest::mouseClick(f->cmdOK, Qt::LeftButton); }
    // Retypes a column (a length of 0 leaves the length box alone).
    void retype(frmDispStruct* f, const QString& column, const QString& type, int length = 0) {
        pick(f, column);
        typeType(f, type);
        if (length > 0)
            this->type(f->txtLength, QString::number(length));
        apply(f);
    }
    void rename(frmDispStruct* f, const QString& column, const QString& name) {
        pick(f, column);
        type(f->txtColumnName, name);
        apply(f);
    }
    // "&Nova", then the new column's name, type and length, "Actualizar".
    void addTyped(frmDispStruct* f, const QString& name, const QString& type, int length = 0) {
        QTest::mouseClick(f->cmdNova, Qt::LeftButton);
        this->type(f->txtColumnName, name);
        typeType(f, type);
        if (length > 0)
            this->type(f->txtLength, QString::number(length));
        if (!f->chkAllowNulls->isChecked() && f->chkAllowNulls->isEnabled())
            QTest::mouseClick(f->chkAllowNulls, Qt::LeftButton, {},
                              QPoint(2, f->chkAllowNulls->height() / 2));
        apply(f);
    }
    int item(frmDispStruct* f, const QString& name) {
        return f->mStructure->FindItem("Name", name, 1);
    }
    void set(frmDispStruct* f, const QString& column, const char* field, const QVariant& value) {
        const int i = item(f, column);
        ASSERT_GT(i, 0) << column.toStdString();
        f->mStructure->SetColumnValue(QString::fromLatin1(field), value, i);
    }
    int addColumn(frmDispStruct* f, const QString& name, const QString& type, int length,
                  bool nulls = true) {
        const int i = f->mStructure->AddNewItem();
        f->mStructure->SetColumnValue("NewColumn", 1, i);
        f->mStructure->SetColumnValue("Name", name, i);
        f->mStructure->SetColumnValue("DataType", type, i);
        f->mStructure->SetColumnValue("Length", length, i);
        f->mStructure->SetColumnValue("AllowNulls", nulls ? "1" : "0", i);
        f->mStructure->SetColumnValue("UpdatedIdentity", 0, i);
        return i;
    }
    // Presses "&Gravar" and lets a closed window go.
    void save(frmDispStruct* f) {
        QTest::mouseClick(f->cmdGravar, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TempDir dir;
    std::shared_ptr<dmo::SQLServer> server;
};
