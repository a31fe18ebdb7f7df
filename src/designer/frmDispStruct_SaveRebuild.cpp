// Rebuilding an existing table: a new table with the designed columns under a temporary name,
// the rows copied into it, the old table dropped and its name taken over; then the indexes
// and the key. Runs inside the save's transaction and commits it.
#include "designer/frmDispStruct.h"
#include "designer/frmDispStruct_SaveScripts.h"

#include "controls/CListViewManager.h"
#include "designer/M_MainMod.h"
#include "dmo/Column.h"
#include "dmo/Columns.h"
#include "dmo/Database.h"
#include "dmo/QueryResults.h"
#include "dmo/Sql.h"
#include "dmo/Table.h"
#include "dmo/Tables.h"

#include <QDateTime>

void frmDispStruct::RebuildTable() {
    const QString owner = mOwner.isEmpty() ? QStringLiteral("dbo") : mOwner;

    // 1.
    const QString tempName = SaveScripts::TemporaryTableName(QDateTime::currentDateTime());
    auto temp = std::make_shared<dmo::Table>();
    temp->SetName(tempName);
    temp->SetOwner(owner);

    // 2. Its columns.
    struct NamedDefault {
        QString Column;
        QString Text;
        QString Name;
    };
    QList<NamedDefault> namedDefaults;
    for (int i = 1; i <= mStructure->Count(); ++i) {
        auto text = [&](const char* f) { return SaveScripts::Text(*mStructure, f, i); };
        auto number = [&](const char* f) { return SaveScripts::Number(*mStructure, f, i); };
        auto whole = [&](const char* f) { return SaveScripts::Whole(*mStructure, f, i); };
        const QString type = text("DataType");
        const DataTypeRules rules = SaveScripts::Rules(type);
        auto column = std::make_shared<dmo::Column>();
        column->SetName(dmo::sql::quoteName(M_MainMod::StripBrackets(text("Name"))));
        column->SetDatatype(SaveScripts::TypeName(type));
        if (rules.UseLength)
            column->SetLength(int(number("Length")));
        if (rules.UsePrecision)
            column->SetNumericPrecision(int(number("Precision")));
        if (rules.UseScale)
            column->SetNumericScale(int(number("Scale")));
        if (rules.UseNulls)
            column->SetAllowNulls(text("AllowNulls") == QLatin1String("1"));
        if (rules.UseIdentity) {
            column->SetIdentity(number("UpdatedIdentity") == 1);
            column->SetIdentitySeed(whole("UpdatedSeed"));
            column->SetIdentityIncrement(whole("UpdatedIncrement"));
        }
        if (rules.UseRowGuid)
            column->SetIsRowGuidCol(number("UpdatedUniqueIdentifier") == 1);
        // The column keeps its collation (a case-sensitive one would otherwise be lost).
        const QString collation = text("UpdatedCollation").trimmed();
        if (rules.UseCollation && !collation.isEmpty())
            column->SetCollation(collation);
        QString formula = text("UpdatedFormula");
        if (rules.UseFormula && !formula.trimmed().isEmpty()) {
            if (!formula.startsWith(QLatin1Char('(')))
                formula.prepend(QLatin1Char('('));
            if (!formula.endsWith(QLatin1Char(')')))
                formula += QLatin1Char(')');
            column->SetIsComputed(true);
            column->SetComputedText(formula);
        }
        const QString def = text("UpdatedDefault");
        // A loaded column's named default constraint is given once the old table, which
        // holds that name, is gone.
        const QString keptName = number("NewColumn") == 1
                                     ? QString()
                                     : mLoadedDefaultNames.value(int(number("OriginalIndex")));
        if (rules.UseDefault && !def.isEmpty()) {
            if (keptName.isEmpty())
                ApplyColumnDefault(column, def);
            else
                namedDefaults << NamedDefault{column->Name(), def, keptName};
        }
        temp->Columns()->Add(column);
    }

    // 4-8. The rows, converted to their new types, in one statement.
    const SaveScripts::CopyLists lists = SaveScripts::RebuildCopyLists(*mStructure);
    // With nothing to copy (only columns the server fills) a column of its own receives one
    // row per old row, and goes.
    const QString rowsColumn = QStringLiteral("VARNOLT_Rows");
    if (lists.Targets.isEmpty()) {
        auto column = std::make_shared<dmo::Column>();
        column->SetName(rowsColumn);
        column->SetDatatype(QStringLiteral("int"));
        column->SetAllowNulls(true);
        temp->Columns()->Add(column);
    }

    // 3.
    mDatabase->Tables()->Add(temp);

    const QString oldRef =
        dmo::sql::quoteName(owner) + QLatin1Char('.') + dmo::sql::quoteName(mTable->Name());
    const QString tempRef =
        dmo::sql::quoteName(owner) + QLatin1Char('.') + dmo::sql::quoteName(tempName);
    if (!lists.Targets.isEmpty()) {
        if (lists.IdentityCopy)
            SaveExecute(SaveScripts::IdentityInsertStatement(owner, tempName, true));
        SaveExecute(SaveScripts::CopyStatement(owner, tempName, lists, mTable->Name()));
        if (lists.IdentityCopy)
            SaveExecute(SaveScripts::IdentityInsertStatement(owner, tempName, false));
        ContinueIdentity(oldRef, tempRef);
    } else {
        SaveExecute(QStringLiteral("Insert Into ") + tempRef + QStringLiteral(" (") +
                    dmo::sql::quoteName(rowsColumn) + QStringLiteral(") Select Null From ") +
                    oldRef);
        temp->Columns()->Remove(rowsColumn);
    }

    // 9-10. The new table takes the old one's place.
    const QString oldName = mTable->Name();
    mDatabase->Tables()->Remove(mTable->Name(), mTable->Owner());
    temp->SetName(dmo::sql::quoteName(oldName));
    mTable = temp;
    if (!namedDefaults.isEmpty()) {
        mTable->Refresh();
        for (const NamedDefault& d : namedDefaults)
            ApplyColumnDefault(mTable->Columns()->Item(d.Column), d.Text, d.Name);
    }

    // 11-13.
    ScriptIndexes(false, true, true);
    CreatePrimaryKey();
    mTable->Columns()->Refresh(true);
    mTable->Refresh();

    // 14.
    SaveExecute(QStringLiteral("Commit Transaction"));
    mSaveTransaction = false;
}

void frmDispStruct::ContinueIdentity(const QString& OldRef, const QString& TempRef) {
    // Only a loaded identity column kept with its seed and increment goes on from the old
    // table's counter; the copy alone would go on from the largest value left.
    bool kept = false;
    for (int i = 1; i <= mStructure->Count(); ++i) {
        auto whole = [&](const char* f) { return SaveScripts::Whole(*mStructure, f, i); };
        if (whole("NewColumn") == 0 && whole("UpdatedIdentity") == 1 &&
            whole("OriginalIdentity") == 1 && whole("UpdatedSeed") == whole("OriginalSeed") &&
            whole("UpdatedIncrement") == whole("OriginalIncrement"))
            kept = true;
    }
    if (!kept)
        return;
    QString messages;
    mDatabase->ExecuteWithResultsAndMessages2(
        SaveScripts::CheckIdentStatement(OldRef, QStringLiteral("NORESEED")), messages);
    const std::optional<qint64> current = SaveScripts::CurrentIdentity(messages);
    if (!current)
        return; // no value handed out yet: the new table starts at its seed too
    // A table that received no row gives the reseeded value itself next.
    qint64 value = *current;
    const dmo::QueryResultsPtr rows =
        mDatabase->ExecuteWithResults(QStringLiteral("Select Count(*) From ") + TempRef);
    if (rows->GetColumnString(1, 1).toLongLong() == 0) {
        for (int i = 1; i <= mStructure->Count(); ++i) {
            if (SaveScripts::Whole(*mStructure, "UpdatedIdentity", i) != 1)
                continue;
            const qint64 step = SaveScripts::Whole(*mStructure, "UpdatedIncrement", i);
            if (__builtin_add_overflow(*current, step, &value))
                value = *current; // beyond bigint: the next insert overflows either way
        }
    }
    SaveExecute(SaveScripts::CheckIdentStatement(TempRef, QStringLiteral("RESEED, ") +
                                                              QString::number(value)));
}
