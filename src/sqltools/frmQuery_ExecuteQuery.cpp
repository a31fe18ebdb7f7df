// The query window: choosing the text, running the batch, filling the grid and copying it.
#include "sqltools/frmQuery.h"

#include "controls/SelOpta.h"
#include "core/HourglassGuard.h"
#include "core/TextHelpers.h"
#include "core/Twips.h"
#include "core/cServer.h"
#include "dmo/Databases.h"
#include "dmo/DmoError.h"
#include "dmo/QueryResults.h"
#include "dmo/SQLServer.h"
#include "sqltools/QueryGrid.h"
#include "sqltools/SqlEditorCommon.h"
#include "sqltools/TextWidth.h"

#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTabWidget>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include <utility>
#include <vector>

namespace {

constexpr int kImageType = -4;
const QString kSuccess = QStringLiteral("Comando executado com sucesso!");

// The database a text starting with "use " names, or empty text. A bracketed name is taken
// whole, up to its closing bracket; any other name ends at a line break, a blank or ';'.
QString useDatabaseName(const QString& text) {
    const QString t = TrimBlanks(text);
    if (t.left(4).toLower() != QLatin1String("use "))
        return {};
    QString name;
    if (t.size() > 4 && t.at(4) == u'[') {
        for (qsizetype i = 5; i < t.size(); ++i) {
            const QChar ch = t.at(i);
            if (ch == u']') {
                if (i + 1 < t.size() && t.at(i + 1) == u']') {
                    name += ch;
                    ++i;
                    continue;
                }
                return TrimBlanks(name);
            }
            if (ch == u'\r' || ch == u'\n')
                break;
            name += ch;
        }
        // No closing bracket: the name as written, cut like any other.
        name = QStringLiteral("[") + name.section(u' ', 0, 0);
        return TrimBlanks(name);
    }
    for (qsizetype i = 4; i < t.size(); ++i) {
        const QChar ch = t.at(i);
        if (ch == u'\r' || ch == u'\n' || ch == u' ' || ch == u';')
            break;
        name += ch;
    }
    return TrimBlanks(name);
}

} // namespace

void frmQuery::cmdExecute_Click() {
    try {
        txtMsg->clear();
        const QString text = SqlEditor::ChosenText(txtQuery);
        if (TrimBlanks(text).isEmpty())
            return;
        const QString name = useDatabaseName(text);
        if (!name.isEmpty())
            eselDatabase->setChave(name);
        ExecuteQuery(text);
    } catch (...) {
    }
}

void frmQuery::AppendMsg(const QString& text) {
    txtMsg->setPlainText(txtMsg->toPlainText() + QLatin1Char('\n') + text);
}

void frmQuery::ExecuteQuery(const QString& Text) {
    HourglassGuard hourglass;
    try {
        if (!mServer)
            throw dmo::DmoError(dmo::Errors::NotConnected,
                                QStringLiteral("O servidor não está registado."));
        auto server = mServer->SQLDMOServer();
        if (!server)
            throw dmo::DmoError(dmo::Errors::NotConnected,
                                QStringLiteral("O servidor não está ligado."));
        dmo::DatabasePtr database = server->Databases()->Item(eselDatabase->Chave());

        // One empty cell under empty headers while the batch runs.
        QueryGridModel::Contents empty;
        empty.rows = empty.columns = 1;
        empty.headers.resize(1);
        grdGrid->setContents(std::move(empty));
        grdGrid->viewport()->update();

        QString messages;
        dmo::QueryResultsPtr results =
            database->ExecuteWithResultsAndMessages2(Text, messages, int(Text.size()));
        if (!TrimBlanks(messages).isEmpty())
            AppendMsg(messages);
        if (results) {
            if (results->Rows() < 0) {
                grdGrid->hide();
                hourglass.restore();
                AppendMsg(kSuccess);
                tabMain->setCurrentIndex(1);
                // The batch may have made or dropped a database.
                ReloadDatabases();
                return;
            }
            FillGrid(*results);
            grdGrid->show();
        }
        database.reset();

        hourglass.restore();
        if (!TrimBlanks(txtMsg->toPlainText()).isEmpty()) {
            tabMain->setCurrentIndex(1);
            ReloadDatabases();
        } else {
            tabMain->setCurrentIndex(0);
        }
    } catch (const std::exception& e) {
        hourglass.restore();
        grdGrid->hide();
        const auto* dmoError = dynamic_cast<const dmo::DmoError*>(&e);
        AppendMsg(dmoError ? dmoError->Description() : QString::fromLocal8Bit(e.what()));
        tabMain->setCurrentIndex(1);
    }
}

void frmQuery::ReloadDatabases() {
    const QString key = eselDatabase->Chave();
    eselDatabase->setLista(mServer->ListaDatabases(true));
    eselDatabase->setChave(key);
}

void frmQuery::FillGrid(const dmo::QueryResults& results) {
    const int R = results.Rows();
    const int C = qMax(results.Columns(), 0);
    QueryGridModel::Contents grid;
    if (R == 0) {
        // One empty row and one spare empty column.
        grid.rows = 1;
        grid.columns = C + 1;
    } else {
        grid.rows = R;
        grid.columns = C;
        grid.rowNumbers = true;
    }
    grid.headers.resize(size_t(grid.columns));
    grid.alignments.resize(size_t(grid.columns));

    TextWidth width(picTeste->font());
    auto measure = [&width](const QString& text) { return int(PixelsToTwipsX(width(text))) + 120; };

    std::vector<int> widths(static_cast<size_t>(C));
    std::vector<bool> image(static_cast<size_t>(C));
    for (int c = 1; c <= C; ++c) {
        const QString name = TrimBlanks(results.ColumnName(c));
        widths[size_t(c - 1)] = measure(name);
        grid.headers[size_t(c - 1)] = name;
        image[size_t(c - 1)] = results.ColumnType(c) == kImageType;
        if (image[size_t(c - 1)])
            grid.alignments[size_t(c - 1)] = int(Qt::AlignLeft | Qt::AlignVCenter);
    }
    grid.cells.reserve(size_t(qMax(R, 0)) * size_t(C));
    for (int r = 1; r <= R; ++r) {
        for (int c = 1; c <= C; ++c) {
            QString value = results.GetColumnString(r, c);
            if (!image[size_t(c - 1)]) {
                const int w = measure(TrimBlanks(value));
                if (w > widths[size_t(c - 1)])
                    widths[size_t(c - 1)] = w;
            }
            grid.cells.push_back(std::move(value));
        }
    }
    grdGrid->setUpdatesEnabled(false);
    grdGrid->setContents(std::move(grid));
    for (int c = 1; c <= C; ++c)
        grdGrid->setColumnWidth(c - 1, TwipsToPixelsX(widths[size_t(c - 1)]));
    grdGrid->setUpdatesEnabled(true);
    grdGrid->show();
}

void frmQuery::mnuGridCopiar_Click() {
    try {
        int top = -1, left = -1, bottom = -1, right = -1;
        const QItemSelection ranges = grdGrid->selectionModel()->selection();
        for (const QItemSelectionRange& range : ranges) {
            top = top < 0 ? range.top() : qMin(top, range.top());
            left = left < 0 ? range.left() : qMin(left, range.left());
            bottom = qMax(bottom, range.bottom());
            right = qMax(right, range.right());
        }
        const QModelIndex current = grdGrid->currentIndex();
        if (ranges.isEmpty() && current.isValid()) {
            top = bottom = current.row();
            left = right = current.column();
        }
        QStringList rows;
        for (int r = top; r >= 0 && r <= bottom; ++r) {
            QStringList cells;
            for (int c = left; c <= right; ++c)
                cells << grdGrid->text(r, c);
            rows << cells.join(QLatin1Char('\t'));
        }
        QClipboard* clipboard = QApplication::clipboard();
        clipboard->clear();
        clipboard->setText(rows.join(QLatin1Char('\r')));
    } catch (...) {
    }
}
