#pragma once
// A table window on a temporary embedded instance whose "Vendas" holds the table Clientes.
#include "SqlToolsFixture.h"
#include "core/MsgBox.h"
#include "core/ScriptedMsgBox.h"
#include "dmo/QueryResults.h"
#include "sqltools/frmOpenTable.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableView>

inline const QString kOnlySelect =
    QStringLiteral("Nesta opção só pode usar o comando tem que começar por SELECT (TSQL).\n"
                   "Todos os outros comandos de TSQL devem ser usados na opção Query!");

class TableWindowTest : public SqlToolsServerTest {
protected:
    void SetUp() override {
        StartServer();
        sql(QStringLiteral("Vendas"),
            QStringLiteral(
                "CREATE TABLE Clientes (Id int NOT NULL PRIMARY KEY, Nome varchar(20) NOT NULL "
                "UNIQUE, Cidade varchar(5) NULL)\n"
                "INSERT INTO Clientes VALUES (1, 'Ana', 'Porto')\n"
                "INSERT INTO Clientes VALUES (2, 'Bruno', 'Braga')\n"
                "INSERT INTO Clientes VALUES (3, 'Carla', NULL)\n"
                "INSERT INTO Clientes VALUES (4, 'Duarte', 'Faro')\n"
                "INSERT INTO Clientes VALUES (5, 'Eva', 'Beja')"));
        server->LoadDatabases();
        gNumRegistos = 0;
    }

    void TearDown() override {
        if (frmOpenTable::Loaded())
            frmOpenTable::Default()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        gNumRegistos = 0;
        StopServer();
    }

    // The first value of a query, read behind the window's back.
    QString value(const QString& query) {
        auto rs = server->SQLDMOServer()
                      ->Databases()
                      ->Item(QStringLiteral("Vendas"))
                      ->ExecuteWithResults(query);
        return rs && rs->Rows() > 0 ? rs->GetColumnString(1, 1) : QStringLiteral("<none>");
    }

    frmOpenTable* open(const QString& table) {
        form = frmOpenTable::Default();
        form->ShowForm(server, QStringLiteral("Vendas"), table);
        QApplication::setActiveWindow(form->window());
        return form;
    }

    void type(const QString& text) { TypeInto(form->txtQuery, text); }
    void pressF5() { QTest::keyClick(form->txtQuery, Qt::Key_F5); }

    QAbstractItemModel* model() const { return form->grdGrid->model(); }
    int rows() const { return model()->rowCount(); }
    QString cell(int row, int column) const {
        return model()->index(row, column).data().toString();
    }
    QString header(int column) const {
        return model()->headerData(column, Qt::Horizontal).toString();
    }

    // Edits a cell as the user does: select it, F2, replace the text, Enter.
    void editCell(int row, int column, const QString& text) {
        QTableView* grid = form->grdGrid;
        const QModelIndex index = model()->index(row, column);
        grid->setFocus();
        grid->setCurrentIndex(index);
        QTest::keyClick(grid, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The grid commits after the key, and a refusal's message comes once the editor
        // has closed.
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    frmOpenTable* form = nullptr;
};

