#include "designer/frmDispStruct_SaveScripts.h"

#include "controls/CListViewManager.h"
#include "designer/M_MainMod.h"
#include "designer/clsIndexes.h"
#include "dmo/Sql.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <limits>

namespace SaveScripts {

namespace {

using dmo::sql::quoteName;
using dmo::sql::quoteNameIfNeeded;
using dmo::sql::quoteNString;

QString field(const char* name) {
    return QString::fromLatin1(name);
}

QString whole(double v) {
    return QString::number(static_cast<qint64>(std::llround(v)));
}

bool textDiffers(const CListViewManager& s, const char* edited, const char* loaded, int item) {
    return Text(s, edited, item) != Text(s, loaded, item);
}

bool numberDiffers(const CListViewManager& s, const char* edited, const char* loaded, int item) {
    return Whole(s, edited, item) != Whole(s, loaded, item);
}

// "(20)" for a type with a length, "(10, 2)" for one with a precision and a scale.
QString sizeOf(const CListViewManager& s, const DataTypeRules& rules, int item) {
    if (rules.UseLength)
        return QLatin1Char('(') + whole(Number(s, "Length", item)) + QLatin1Char(')');
    if (rules.UsePrecision && rules.UseScale)
        return QLatin1Char('(') + whole(Number(s, "Precision", item)) + QStringLiteral(", ") +
               whole(Number(s, "Scale", item)) + QLatin1Char(')');
    return QString();
}

// The type as the statements declare it: "varchar(20)", "[Post Code]".
QString declaredType(const CListViewManager& s, int item) {
    const QString type = Text(s, "DataType", item);
    return quoteNameIfNeeded(TypeName(type)) + sizeOf(s, Rules(type), item);
}

QString loadedColumn(const CListViewManager& s, int item) {
    return quoteName(M_MainMod::StripBrackets(Text(s, "OriginalName", item)));
}

} // namespace

QString Text(const CListViewManager& Structure, const char* Field, int Item) {
    const QVariant v = Structure.GetColumnValue(field(Field), Item);
    if (v.typeId() == QMetaType::Double)
        return whole(v.toDouble());
    return v.toString();
}

double Number(const CListViewManager& Structure, const char* Field, int Item) {
    const QVariant v = Structure.GetColumnValue(field(Field), Item);
    bool ok = false;
    const double n = v.toDouble(&ok);
    return ok ? n : 0.0;
}

qint64 Whole(const CListViewManager& Structure, const char* Field, int Item) {
    const QVariant v = Structure.GetColumnValue(field(Field), Item);
    if (v.typeId() == QMetaType::LongLong)
        return v.toLongLong();
    const double d = v.toDouble();
    if (!(d > -9.2e18 && d < 9.2e18)) // beyond bigint (or not a number): held at its end
        return std::isnan(d) ? 0
                             : (d > 0 ? std::numeric_limits<qint64>::max()
                                      : std::numeric_limits<qint64>::min());
    return std::llround(d);
}

QString TypeName(const QString& DataType) {
    if (DataType.endsWith(QLatin1Char(')'))) {
        const qsizetype open = DataType.lastIndexOf(QLatin1String(" ("));
        if (open > 0)
            return DataType.left(open);
    }
    return DataType;
}

QString SystemType(const QString& DataType) {
    const QString name = TypeName(DataType);
    return name == DataType ? DataType : DataType.mid(name.size() + 2).chopped(1);
}

bool IsCharacter(const QString& TypeName) {
    static const QStringList kinds{"char", "varchar", "nchar", "nvarchar"};
    return kinds.contains(TypeName.trimmed().toLower());
}

DataTypeRules Rules(const QString& DataType) {
    return GetDataTypeRules(TypeName(DataType), false, true, QStringList(), DataTypeRuleControls());
}

bool IsLargeObject(const QString& TypeName) {
    const QString t = TypeName.trimmed().toLower();
    return t == QLatin1String("text") || t == QLatin1String("ntext") || t == QLatin1String("image");
}

bool HoldsBytes(const QString& TypeName) {
    static const QStringList kinds{"char",  "varchar", "text",      "nchar", "nvarchar",
                                   "ntext", "binary",  "varbinary", "image"};
    return kinds.contains(TypeName.trimmed().toLower());
}

QString TableRef(const QString& Owner, const QString& Name) {
    if (Owner.isEmpty() || Owner.compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0)
        return quoteName(Name);
    return quoteName(Owner) + QLatin1Char('.') + quoteName(Name);
}

bool ColumnChanged(const CListViewManager& s, int item) {
    // Type names are compared without regard to case, as the server names them.
    // Names are compared as names: "[Order Date]" and "Order Date" are the same column.
    return M_MainMod::StripBrackets(Text(s, "Name", item)) !=
               M_MainMod::StripBrackets(Text(s, "OriginalName", item)) ||
           TypeName(Text(s, "DataType", item))
                   .compare(Text(s, "OriginalDataType", item), Qt::CaseInsensitive) != 0 ||
           numberDiffers(s, "Length", "OriginalLength", item) ||
           numberDiffers(s, "Precision", "OriginalPrecision", item) ||
           numberDiffers(s, "Scale", "OriginalScale", item) ||
           textDiffers(s, "AllowNulls", "OriginalAllowNulls", item) ||
           numberDiffers(s, "UpdatedIdentity", "OriginalIdentity", item) ||
           numberDiffers(s, "UpdatedSeed", "OriginalSeed", item) ||
           numberDiffers(s, "UpdatedIncrement", "OriginalIncrement", item) ||
           numberDiffers(s, "UpdatedUniqueIdentifier", "OriginalUniqueIdentifier", item) ||
           textDiffers(s, "UpdatedFormula", "OriginalFormula", item) ||
           textDiffers(s, "UpdatedCollation", "OriginalCollation", item) ||
           textDiffers(s, "UpdatedDefault", "OriginalDefault", item);
}

bool DataTypeChanged(const CListViewManager& s, int item) {
    if (Number(s, "NewColumn", item) == 1)
        return false;
    const QString type = Text(s, "DataType", item);
    const DataTypeRules rules = Rules(type);
    if (TypeName(type).compare(Text(s, "OriginalDataType", item), Qt::CaseInsensitive) != 0)
        return true;
    if (rules.UseLength && numberDiffers(s, "Length", "OriginalLength", item))
        return true;
    if (rules.UseScale && numberDiffers(s, "Scale", "OriginalScale", item))
        return true;
    return rules.UsePrecision && numberDiffers(s, "Precision", "OriginalPrecision", item);
}

QString ConversionTestStatement(const CListViewManager& s, int item, const QString& Table) {
    return QStringLiteral("Select Convert(") + declaredType(s, item) + QStringLiteral(", ") +
           loadedColumn(s, item) + QStringLiteral(") From ") + Table;
}

QString RoundTripStatement(const CListViewManager& s, int item, const QString& Table,
                           const QString& LoadedType) {
    const DataTypeRules rules = Rules(LoadedType);
    QString loaded = quoteNameIfNeeded(LoadedType);
    if (rules.UseLength)
        loaded += QLatin1Char('(') + whole(Number(s, "OriginalLength", item)) + QLatin1Char(')');
    else if (rules.UsePrecision && rules.UseScale)
        loaded += QLatin1Char('(') + whole(Number(s, "OriginalPrecision", item)) +
                  QStringLiteral(", ") + whole(Number(s, "OriginalScale", item)) + QLatin1Char(')');
    const QString column = loadedColumn(s, item);
    // The server stamps a timestamp column itself: no stored value is kept.
    if (TypeName(Text(s, "DataType", item)).compare(QLatin1String("timestamp"),
                                                    Qt::CaseInsensitive) == 0)
        return QStringLiteral("Select Count(") + column + QStringLiteral(") From ") + Table;
    const QString back = QStringLiteral("Convert(") + loaded + QStringLiteral(", Convert(") +
                         declaredType(s, item) + QStringLiteral(", ") + column +
                         QStringLiteral("))");
    // Trailing blanks do not count in "<>": a shorter value back has lost some.
    return QStringLiteral("Select Count(*) From ") + Table + QStringLiteral(" Where ") + back +
           QStringLiteral(" <> ") + column + QStringLiteral(" Or DataLength(") + back +
           QStringLiteral(") < DataLength(") + column + QLatin1Char(')');
}

QString LongestValueStatement(const CListViewManager& s, int item, const QString& Table) {
    return QStringLiteral("Select Max(DataLength(") + loadedColumn(s, item) +
           QStringLiteral(")) From ") + Table;
}

QString NullCountStatement(const CListViewManager& s, int item, const QString& Table) {
    QString sql = QStringLiteral("Select IsNull(Count(*),0) as Contagem from ") + Table;
    if (Number(s, "NewColumn", item) == 0)
        sql += QStringLiteral(" Where ") + loadedColumn(s, item) + QStringLiteral(" Is Null");
    return sql;
}

QString KeyColumnList(const QString& IndexColumns) {
    QStringList keys;
    for (const M_MainMod::IndexKeyColumn& key : M_MainMod::SplitMarked(IndexColumns)) {
        if (key.ColumnName.isEmpty())
            continue;
        QString entry = quoteName(key.ColumnName); // a bare name
        if (key.SortOrder == QLatin1String("D"))
            entry += QStringLiteral(" DESC");
        keys << entry;
    }
    return QLatin1Char('(') + keys.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QString CreateIndexStatement(const clsIndexes& idx, const QString& Table) {
    const QString clustered =
        idx.Act_Clustered() ? QStringLiteral(" CLUSTERED ") : QStringLiteral(" NONCLUSTERED ");
    // A constraint is unique: one whose unique mark the user took off is a plain index.
    const bool constraint = idx.Act_Constraint() && idx.Act_Unique();
    QString sql;
    if (constraint) {
        sql = QStringLiteral("Alter Table ") + Table + QStringLiteral(" ADD ") +
              QStringLiteral("Constraint ") + quoteName(idx.Act_IndexName()) +
              QStringLiteral(" UNIQUE") + clustered;
    } else {
        sql = QStringLiteral("Create ");
        if (idx.Act_Unique())
            sql += QStringLiteral("UNIQUE ");
        sql += clustered + QStringLiteral("Index ") + quoteName(idx.Act_IndexName()) +
               QStringLiteral(" on ") + Table + QLatin1Char(' ');
    }
    sql += KeyColumnList(idx.Act_IndexColumns());

    if (idx.Act_FillFactor() != 0 || idx.Act_IgnoreDupKeys() || idx.Act_NoRecompute()) {
        QStringList options;
        if (idx.Act_FillFactor() >= 1 && idx.Act_FillFactor() <= 100)
            options << QStringLiteral("FillFactor=") + QString::number(idx.Act_FillFactor());
        // Only a unique index ignores duplicate keys; a constraint always refuses them.
        if (idx.Act_Unique() && !constraint && idx.Act_IgnoreDupKeys())
            options << QStringLiteral("IGNORE_DUP_KEY");
        if (idx.Act_NoRecompute())
            options << QStringLiteral("STATISTICS_NORECOMPUTE");
        if (!options.isEmpty())
            sql += QStringLiteral("With ") + options.join(QStringLiteral(", "));
    }
    // Without a filegroup the server's default one takes the index.
    if (!idx.Act_FileGroup().trimmed().isEmpty())
        sql += QStringLiteral(" ON ") + quoteName(idx.Act_FileGroup());
    return sql;
}

QString DropConstraintStatement(const QString& Table, const QString& Name) {
    return QStringLiteral("Alter Table ") + Table + QStringLiteral(" Drop Constraint ") +
           quoteName(Name);
}

QString TemporaryTableName(const QDateTime& When) {
    const QDate d = When.date();
    const QTime t = When.time();
    return QStringLiteral("Varnolt_Temp%1%2%3%4%5")
        .arg(d.year())
        .arg(d.month())
        .arg(d.day())
        .arg(t.hour())
        .arg(t.minute());
}

CopyLists RebuildCopyLists(const CListViewManager& s) {
    CopyLists lists;
    QStringList targets;
    QStringList sources;
    for (int i = 1; i <= s.Count(); ++i) {
        const bool newRow = Number(s, "NewColumn", i) == 1;
        if (!newRow && Number(s, "UpdatedIdentity", i) == 1)
            lists.IdentityCopy = true;
    }
    for (int i = 1; i <= s.Count(); ++i) {
        const bool newRow = Number(s, "NewColumn", i) == 1;
        const QString type = Text(s, "DataType", i);
        const QString bare = M_MainMod::StripBrackets(Text(s, "Name", i));
        const QString name = quoteName(bare);
        // A name changed only in case or end blanks is not renamed before the copy: the old
        // table still holds it under its loaded name.
        const QString loaded = M_MainMod::StripBrackets(Text(s, "OriginalName", i));
        const QString source =
            quoteName(bare.trimmed().toLower() == loaded.trimmed().toLower() ? loaded : bare);
        // The server computes formulas and stamps timestamp columns itself.
        if (!Text(s, "UpdatedFormula", i).trimmed().isEmpty())
            continue;
        if (TypeName(type).compare(QLatin1String("timestamp"), Qt::CaseInsensitive) == 0)
            continue;
        if (Number(s, "UpdatedIdentity", i) == 1) {
            if (newRow)
                continue; // numbered by the server
            targets << name;
            sources << source;
            continue;
        }
        targets << name;
        if (newRow) {
            sources << QStringLiteral("NULL");
        } else {
            sources << QStringLiteral("Convert (") + declaredType(s, i) + QStringLiteral(", ") +
                           source + QLatin1Char(')');
        }
    }
    lists.Targets = targets.join(QStringLiteral(", "));
    lists.Sources = sources.join(QStringLiteral(", "));
    return lists;
}

QString IdentityInsertStatement(const QString& Owner, const QString& TempName, bool On) {
    return QStringLiteral("SET IDENTITY_INSERT ") + quoteName(Owner) + QLatin1Char('.') +
           quoteName(TempName) + (On ? QStringLiteral("  ON") : QStringLiteral("  OFF\r"));
}

QString CheckIdentStatement(const QString& Table, const QString& Tail) {
    return QStringLiteral("DBCC CHECKIDENT (") + quoteNString(Table) + QStringLiteral(", ") + Tail +
           QLatin1Char(')');
}

std::optional<qint64> CurrentIdentity(const QString& Messages) {
    static const QRegularExpression value(QStringLiteral("current identity value '(-?\\d+)'"));
    const QRegularExpressionMatch m = value.match(Messages);
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toLongLong();
}

QString CopyStatement(const QString& Owner, const QString& TempName, const CopyLists& Lists,
                      const QString& OldName) {
    return QStringLiteral("Insert Into ") + quoteName(Owner) + QLatin1Char('.') +
           quoteName(TempName) + QStringLiteral(" (") + Lists.Targets + QStringLiteral(") ") +
           QStringLiteral("(Select ") + Lists.Sources + QStringLiteral(" From ") +
           quoteName(Owner) + QLatin1Char('.') + quoteName(OldName) + QLatin1Char(')');
}

} // namespace SaveScripts
