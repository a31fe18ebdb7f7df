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
    for (int i = 1; i <= mStructure->Count(); ++i) {
        auto text = [&](const char* f) { return SaveScripts::Text(*mStructure, f, i); };
        auto number = [&](const char* f) { return SaveScripts::Number(*mStructure, f, i); };
        const QString type = text("DataType");
        const DataTypeRules rules = SaveScripts::Rules(type);
        auto column = std::make_shared<dmo::Column>();
        column->SetName(M_MainMod::StripBrackets(text("Name")));
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
            column->SetIdentitySeed(qint64(number("UpdatedSeed")));
            column->SetIdentityIncrement(qint64(number("UpdatedIncrement")));
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
        if (rules.UseDefault && !def.isEmpty())
            ApplyColumnDefault(column, def);
        temp->Columns()->Add(column);
    }

    // 3.
    mDatabase->Tables()->Add(temp);

    // 4-8. The rows, converted to their new types, in one statement.
    const SaveScripts::CopyLists lists = SaveScripts::RebuildCopyLists(*mStructure);
    if (!lists.Targets.isEmpty()) {
        if (lists.IdentityCopy)
            SaveExecute(SaveScripts::IdentityInsertStatement(owner, tempName, true));
        SaveExecute(SaveScripts::CopyStatement(owner, tempName, lists, mTable->Name()));
        if (lists.IdentityCopy)
            SaveExecute(SaveScripts::IdentityInsertStatement(owner, tempName, false));
    } else {
        // Nothing to copy (only columns the server fills): one row of defaults per old row.
        const QString temp = SaveScripts::Bracket(owner) + QLatin1Char('.') +
                             SaveScripts::Bracket(tempName);
        SaveExecute(QStringLiteral("Declare @VarnoltRows int\nSelect @VarnoltRows = Count(*) From ") +
                    SaveScripts::Bracket(owner) + QLatin1Char('.') +
                    SaveScripts::Bracket(mTable->Name()) +
                    QStringLiteral("\nWhile @VarnoltRows > 0\nBegin\nInsert Into ") + temp +
                    QStringLiteral(" Default Values\nSet @VarnoltRows = @VarnoltRows - 1\nEnd"));
    }

    // 9-10. The new table takes the old one's place.
    const QString oldName = mTable->Name();
    mDatabase->Tables()->Remove(mTable->Name(), mTable->Owner());
    temp->SetName(oldName);
    mTable = temp;

    // 11-13.
    ScriptIndexes(false, true, true);
    CreatePrimaryKey();
    mTable->Columns()->Refresh(true);
    mTable->Refresh();

    // 14.
    SaveExecute(QStringLiteral("Commit Transaction"));
    mSaveTransaction = false;
}
