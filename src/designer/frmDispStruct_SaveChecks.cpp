// The save's checks: changed columns, the conversion test, the null rule, and column defaults.
#include "designer/frmDispStruct.h"
#include "designer/frmDispStruct_SaveScripts.h"

#include "controls/CListViewManager.h"
#include "core/HourglassGuard.h"
#include "core/MsgBox.h"
#include "designer/M_MainMod.h"
#include "dmo/Column.h"
#include "dmo/DRIDefault.h"
#include "dmo/Database.h"
#include "dmo/Defaults.h"
#include "dmo/QueryResults.h"
#include "dmo/Table.h"

#include <QApplication>

#include <exception>

namespace {

// The arrow pointer over the hourglass while a message is up.
class ArrowPointer {
public:
    ArrowPointer() {
        if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
            QApplication::setOverrideCursor(Qt::ArrowCursor);
            active_ = true;
        }
    }
    ~ArrowPointer() {
        if (active_)
            QApplication::restoreOverrideCursor();
    }
    ArrowPointer(const ArrowPointer&) = delete;
    ArrowPointer& operator=(const ArrowPointer&) = delete;

private:
    bool active_ = false;
};

// The number a text starts with (blanks skipped); 0 when it starts with none.
double leadingNumber(const QString& text) {
    const QString t = text.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t[end] == QLatin1Char('-') || t[end] == QLatin1Char('+')))
        ++end;
    while (end < t.size() && (t[end].isDigit() || t[end] == QLatin1Char('.')))
        ++end;
    bool ok = false;
    const double v = t.left(end).toDouble(&ok);
    return ok ? v : 0.0;
}

} // namespace

bool frmDispStruct::ColumnChanged(int Item) {
    if (!mStructure)
        return false;
    return SaveScripts::ColumnChanged(*mStructure, Item);
}

bool frmDispStruct::DataTypeChanged(int Item) {
    if (!mStructure)
        return false;
    return SaveScripts::DataTypeChanged(*mStructure, Item);
}

QString frmDispStruct::SaveTableRef() const {
    return SaveScripts::TableRef(mOwner, mTableName);
}

bool frmDispStruct::TestConversion(int Item) {
    try {
        const QString sql = SaveScripts::ConversionTestStatement(*mStructure, Item, SaveTableRef());
        mDatabase->ExecuteWithResults(sql);
        return false;
    } catch (...) {
        // A failed conversion ends the server's transaction; nothing is written before these
        // tests, so the save goes on in a new one.
        try {
            if (mSaveTransaction &&
                mDatabase->ExecuteWithResults(QStringLiteral("SELECT @@TRANCOUNT"))->GetColumnString(1, 1) == QLatin1String("0"))
                SaveExecute(QStringLiteral("Begin Transaction"));
        } catch (...) {
        }
        return true;
    }
}

QString frmDispStruct::LoadedSystemType(int Item) const {
    const QString loaded = SaveScripts::Text(*mStructure, "OriginalDataType", Item).toLower();
    // A user type stores its base type: its entry is "name (base)".
    const QString listed = M_MainMod::FindInList(mTypeList, loaded);
    const QString listedName = SaveScripts::TypeName(listed);
    if (listedName != listed && listedName.compare(loaded, Qt::CaseInsensitive) == 0)
        return listed.mid(listedName.size() + 2).chopped(1).toLower();
    return loaded;
}

bool frmDispStruct::ConversionChangesValues(int Item) {
    // A column that stays computed keeps no stored value: the server computes it.
    if (!SaveScripts::Text(*mStructure, "UpdatedFormula", Item).trimmed().isEmpty())
        return false;
    const QString loaded = LoadedSystemType(Item);
    // Large objects cannot be compared; only their length counts (StoredValuesLonger). Text
    // read as a number or a date changes only its form ('3.5' is the money 3.5000).
    if (SaveScripts::IsLargeObject(loaded))
        return false;
    const QString target =
        SaveScripts::SystemType(SaveScripts::Text(*mStructure, "DataType", Item));
    if (SaveScripts::IsCharacter(loaded) && !SaveScripts::IsCharacter(target) &&
        target.compare(QLatin1String("timestamp"), Qt::CaseInsensitive) != 0)
        return false;
    HourglassGuard hourglass;
    try {
        const dmo::QueryResultsPtr r = mDatabase->ExecuteWithResults(
            SaveScripts::RoundTripStatement(*mStructure, Item, SaveTableRef(), loaded));
        return leadingNumber(r->GetColumnString(1, 1)) > 0;
    } catch (...) {
    }
    // The way back failed: values changed on the way there ('*' is no number), unless the way
    // there fails too, which the conversion test reports.
    try {
        mDatabase->ExecuteWithResults(
            SaveScripts::ConversionTestStatement(*mStructure, Item, SaveTableRef()));
        return true;
    } catch (...) {
        return false;
    }
}

bool frmDispStruct::CheckNotNullColumns() {
    if (!mStructure)
        return true;
    const int count = mStructure->Count();
    for (int i = 1; i <= count; ++i) {
        if (SaveScripts::Text(*mStructure, "AllowNulls", i) == QLatin1String("1") ||
            SaveScripts::Number(*mStructure, "UpdatedIdentity", i) != 0)
            continue;
        // A computed column takes no null rule.
        if (!SaveScripts::Text(*mStructure, "UpdatedFormula", i).trimmed().isEmpty())
            continue;
        double rows = 0;
        try {
            const QString table =
                SaveScripts::TableRef(mOwner, mTable ? mTable->Name() : mTableName);
            const dmo::QueryResultsPtr r = mDatabase->ExecuteWithResults(
                SaveScripts::NullCountStatement(*mStructure, i, table));
            rows = leadingNumber(r->GetColumnString(1, 1));
        } catch (...) {
            rows = 0;
        }
        if (rows > 0)
            return false;
    }
    return true;
}

void frmDispStruct::ApplyColumnDefault(const std::shared_ptr<dmo::Column>& Column,
                                       const QString& Default, const QString& KeepName) {
    bool failed = false;
    auto attempt = [&failed](auto&& f) {
        try {
            f();
        } catch (...) {
            failed = true;
        }
    };
    QString text = Default.trimmed();
    if (text.startsWith(QLatin1Char('\'')) && !text.endsWith(QLatin1Char('\'')))
        text += QLatin1Char('\'');
    if (!text.startsWith(QLatin1Char('\'')) && text.endsWith(QLatin1Char('\'')))
        text.prepend(QLatin1Char('\''));

    // A default object of the database by that name is bound rather than written.
    dmo::DefaultPtr object;
    attempt([&] {
        if (text.isEmpty())
            return;
        const auto defaults = mDatabase->Defaults();
        for (int i = 1; i <= defaults->Count(); ++i) {
            const dmo::DefaultPtr d = defaults->Item(i);
            if (d->Name().trimmed().toLower() == text.toLower()) {
                object = d;
                text = d->Name();
                break;
            }
        }
    });

    auto report = [&] {
        QString name;
        try {
            name = Column->Name();
        } catch (...) {
        }
        ArrowPointer arrow;
        MsgBox(QStringLiteral("O Valor por Defeito Estabelecido para a Coluna '") + name +
                   QStringLiteral("' não Pode Ser Validado!"),
               vbInformation, QStringLiteral("Informação:"));
    };

    if (object) {
        // The column's own default constraint would stop the binding.
        attempt([&] { Column->DRIDefault()->Remove(); });
        attempt([&] {
            const QString owner = object->Owner().isEmpty() ? mOwner : object->Owner();
            Column->BindDefault(owner, text, true);
        });
        if (failed)
            report();
        return;
    }
    attempt([&] { Column->SetDefault(QString()); });
    if (!text.isEmpty()) {
        attempt([&] {
            if (!KeepName.isEmpty() && Column->DRIDefault()->Text().isEmpty())
                Column->DRIDefault()->SetName(KeepName);
            Column->DRIDefault()->SetText(text);
        });
        if (failed)
            report();
    } else {
        attempt([&] { Column->DRIDefault()->Remove(); });
    }
}
