// The table window: checking the text, running the SELECT and the two error paths.
#include "sqltools/frmOpenTable.h"

#include "ado/AdoError.h"
#include "ado/DataControl.h"
#include "core/HourglassGuard.h"
#include "core/MsgBox.h"
#include "core/TextHelpers.h"
#include "core/cServer.h"
#include "sqltools/SqlEditorCommon.h"

#include <QCoreApplication>
#include <QLabel>
#include <QScopedValueRollback>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>

#include <optional>

namespace {

const QString kOnlySelect =
    QStringLiteral("Nesta opção só pode usar o comando tem que começar por SELECT (TSQL).") +
    QLatin1Char('\n') +
    QStringLiteral("Todos os outros comandos de TSQL devem ser usados na opção Query!");

// Lets the window repaint; the user's input waits, so that nothing closes the window or
// starts another run in the middle of this one.
void letEventsRun() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

void frmOpenTable::cmdExecute_Click() {
    if (mRunning)
        return;
    try {
        txtMsg->clear();
        const QString text = SqlEditor::ChosenText(txtQuery);
        if (TrimBlanks(text).isEmpty())
            return;
        const QString q = MaskLineBreaks(text, QStringLiteral(" "));
        if (TrimBlanks(q).left(6).toLower() != QLatin1String("select")) {
            MsgBox(kOnlySelect, vbCritical);
            return;
        }
        ExecuteSelect(text);
    } catch (...) {
    }
}

void frmOpenTable::ExecuteSelect(const QString& SQL) {
    const QScopedValueRollback<bool> running(mRunning, true);
    std::optional<HourglassGuard> hourglass;
    try {
        datData->SetTag(QString());
        grdGrid->hide();
        if (!mServer)
            throw ado::AdoError(0, QStringLiteral("O servidor não está registado."));
        datData->SetConnectionString(mServer->ADOConnStr(lblDatabase->text()));
        hourglass.emplace();
        letEventsRun();
        grdGrid->hide();
        datData->SetRecordSource(SQL);
        datData->Refresh();
        letEventsRun();
        grdGrid->show();
        hourglass.reset();
        tabMain->setCurrentIndex(0);
    } catch (const std::exception& e) {
        hourglass.reset();
        grdGrid->hide();
        // The data control's descriptions; a failure before it ran reports its own.
        QString description = datData->Tag();
        if (description.isEmpty()) {
            const auto* adoError = dynamic_cast<const ado::AdoError*>(&e);
            description = adoError ? adoError->Description() : QString::fromLocal8Bit(e.what());
        }
        txtMsg->setPlainText(txtMsg->toPlainText() + QLatin1Char('\n') + description);
        tabMain->setCurrentIndex(1);
    }
}

void frmOpenTable::datData_Error(int ErrorNumber, const QString& Description,
                                 bool& fCancelDisplay) {
    Q_UNUSED(ErrorNumber);
    fCancelDisplay = true;
    datData->SetTag(datData->Tag() + Description);
}

void frmOpenTable::grdGrid_Error(int DataError, const QString& ErrorText) {
    Q_UNUSED(DataError);
    try {
        MsgBox(ErrorText, vbCritical);
    } catch (...) {
    }
}

void frmOpenTable::grdGrid_AfterUpdate() {
    grdGrid->viewport()->update();
}
