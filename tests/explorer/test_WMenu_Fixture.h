#pragma once
// The main window on a temporary embedded instance and empty settings, as on a first run.
#include "common/TempDir.h"
#include "controls/CListViewManager.h"
#include "core/Settings.h"
#include "core/cServer.h"
#include "core/cServerCOL.h"
#include "core/cVarnolt.h"
#include "dmo/Database.h"
#include "dmo/Databases.h"
#include "dmo/SQLServer.h"
#include "engine/Engine.h"
#include "explorer/WMenu.h"
#include "explorer/frmExplorer.h"
#include "sqltools/frmQuery.h"

#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine::Instance::setDataRoot(data.path());
        SetSettingsFile(settings.path() + QStringLiteral("/varnolt.ini"));
        cVarnolt::release();
        // Data made by another client of the same server.
        admin.SetLoginSecure(true);
        admin.Connect(QStringLiteral("(LOCAL)"));
        sql(QStringLiteral("master"), QStringLiteral("CREATE DATABASE Vendas"));
        sql(QStringLiteral("Vendas"),
            QStringLiteral("CREATE TABLE Clientes (Id int NOT NULL, Nome varchar(40) NULL)\n"
                           "INSERT INTO Clientes VALUES (1, 'Ana')\n"
                           "INSERT INTO Clientes VALUES (2, 'Bartolomeu')"));
    }

    void TearDown() override {
        delete main.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        cVarnolt::release();
        admin.Disconnect();
        SetSettingsFile({});
    }

    void sql(const QString& db, const QString& text) {
        admin.Databases()->Refresh();
        admin.Databases()->Item(db)->ExecuteImmediate(text);
    }

    WMenu* start() {
        main = new WMenu;
        main->show();
        QApplication::setActiveWindow(main);
        return main;
    }

    QTreeWidget* tree() const { return main->Explorer()->tvwExplorer; }
    QTreeWidgetItem* node(const QString& key) const { return main->Explorer()->NodeByKey(key); }

    void click(QTreeWidgetItem* item) {
        tree()->scrollToItem(item);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {},
                          tree()->visualItemRect(item).center());
    }
    // Opens a node with the keyboard, as the user does with the right arrow.
    void open(QTreeWidgetItem* item) {
        click(item);
        QTest::keyClick(tree(), Qt::Key_Right);
    }
    // Opens "(LOCAL)" and selects the node of that key.
    void openAndClick(const QString& key) {
        open(node(QStringLiteral("(LOCAL)")));
        QTreeWidgetItem* item = node(key);
        ASSERT_NE(item, nullptr) << key.toStdString();
        click(item);
    }

    TempDir data;
    TempDir settings;
    dmo::SQLServer admin;
    QPointer<WMenu> main;
};
