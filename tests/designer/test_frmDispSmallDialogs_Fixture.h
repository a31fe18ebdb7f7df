#pragma once
// Runs a modal dialog with a script that acts in it as the user; on a temporary embedded
// instance with the database "Loja".
#include "common/TempDir.h"
#include "dmo/Database.h"
#include "dmo/Databases.h"
#include "dmo/SQLServer.h"
#include "engine/Engine.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// Queues script to run on the modal dialog that current() gives once it shows; a dialog the
// script leaves open is closed. The queue lives as long as the object.
template <class Form> class DialogScript {
public:
    DialogScript(std::function<Form*()> current, std::function<void(Form*)> script) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this, current, script] {
            Form* f = current();
            if (!f || !f->isVisible())
                return;
            shown = true;
            QApplication::setActiveWindow(f);
            script(f);
            if (current() && current()->isVisible())
                current()->close();
        });
        timer_.start(0);
    }
    bool shown = false;

private:
    QTimer timer_;
};

class SmallDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine::Instance::setDataRoot(data.path());
        server = std::make_shared<dmo::SQLServer>();
        server->SetLoginSecure(true);
        server->Connect(QStringLiteral("(LOCAL)"));
        auto databases = server->Databases();
        databases->Item(QStringLiteral("master"))
            ->ExecuteImmediate(QStringLiteral("CREATE DATABASE Loja"));
        databases->Refresh(true);
        db = databases->Item(QStringLiteral("Loja"));
    }
    void TearDown() override {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static void type(QLineEdit* box, const QString& text) {
        box->setFocus(Qt::TabFocusReason);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    static void click(QAbstractButton* button) {
        const bool mark = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
        QTest::mouseClick(button, Qt::LeftButton, {},
                          mark ? QPoint(8, button->height() / 2) : button->rect().center());
    }

    TempDir data;
    std::shared_ptr<dmo::SQLServer> server;
    dmo::DatabasePtr db;
};
