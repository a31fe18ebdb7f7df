#pragma once
// What the sqltools window tests share: a temporary embedded instance registered as
// "(LOCAL)" and holding the database "Vendas", and typing into an editor as the user does.
#include "common/TempDir.h"
#include "core/Settings.h"
#include "core/cServer.h"
#include "core/cServerCOL.h"
#include "core/cVarnolt.h"
#include "dmo/Database.h"
#include "dmo/Databases.h"
#include "dmo/SQLServer.h"
#include "engine/Engine.h"

#include <QStringList>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// Replaces the editor's text by typing it, line by line.
inline void TypeInto(QTextEdit* editor, const QString& text) {
    editor->setFocus();
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(editor, Qt::Key_Return);
        QTest::keyClicks(editor, lines[i]);
    }
}

class SqlToolsServerTest : public ::testing::Test {
protected:
    // A fresh instance and settings file, connected, with an empty "Vendas".
    void StartServer() {
        engine::Instance::setDataRoot(data.path());
        SetSettingsFile(settings.path() + QStringLiteral("/varnolt.ini"));
        cVarnolt::release();
        server = &cVarnolt::instance().clsServers().Add(QStringLiteral("(LOCAL)"), true, {}, {});
        server->Connect();
        sql(QStringLiteral("master"), QStringLiteral("CREATE DATABASE Vendas"));
    }

    void StopServer() {
        cVarnolt::release();
        SetSettingsFile({});
    }

    // Runs T-SQL behind the window's back, on the server's own session.
    void sql(const QString& db, const QString& text) {
        auto databases = server->SQLDMOServer()->Databases();
        databases->Refresh();
        databases->Item(db)->ExecuteImmediate(text);
    }

    TempDir data;
    TempDir settings;
    cServer* server = nullptr;
};
