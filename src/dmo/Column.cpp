#include "dmo/Column.h"

#include "dmo/DRIDefault.h"
#include "dmo/DmoError.h"
#include "dmo/Sql.h"
#include "dmo/Table.h"

namespace dmo {

bool Column::attached() const { return attached_ && !table_.expired(); }

void Column::setTable(const std::shared_ptr<Table>& table, bool attached) {
    table_ = table;
    attached_ = attached;
}

void Column::requireUnattached(const char* property) const {
    if (attached())
        throw DmoError(Errors::InvalidOperation,
                       QStringLiteral("%1 of the existing column '%2' cannot be changed here; "
                                      "use AlterDataType.")
                           .arg(QLatin1String(property), name_));
}

void Column::requireAttachedTable() const {
    if (!attached())
        throw DmoError(Errors::NotAttached,
                       QStringLiteral("The column '%1' has not been added to a table.").arg(name_));
}

QString Column::columnPath() const {
    auto table = table_.lock();
    if (!table)
        return sql::quoteName(name_);
    return table->qualifiedName() + QLatin1Char('.') + sql::quoteName(name_);
}

void Column::SetName(const QString& name) {
    const QString bare = sql::stripBrackets(name);
    if (attached() && bare != name_) {
        table()->execute(QStringLiteral("EXEC sp_rename %1, %2, 'COLUMN'")
                             .arg(sql::quoteNString(columnPath()), sql::quoteNString(bare)));
        table()->indexesChanged();
    }
    name_ = bare;
}

void Column::SetDatatype(const QString& type) {
    requireUnattached("Datatype");
    datatype_ = type;
}

void Column::SetLength(int length) {
    requireUnattached("Length");
    length_ = length;
}

void Column::SetNumericPrecision(int precision) {
    requireUnattached("NumericPrecision");
    precision_ = precision;
}

void Column::SetNumericScale(int scale) {
    requireUnattached("NumericScale");
    scale_ = scale;
}

void Column::SetAllowNulls(bool allow) {
    requireUnattached("AllowNulls");
    allowNulls_ = allow;
}

void Column::SetIdentity(bool identity) {
    requireUnattached("Identity");
    identity_ = identity;
}

void Column::SetIdentitySeed(long long seed) {
    requireUnattached("IdentitySeed");
    seed_ = seed;
}

void Column::SetIdentityIncrement(long long increment) {
    requireUnattached("IdentityIncrement");
    increment_ = increment;
}

void Column::SetIsRowGuidCol(bool rowGuid) {
    if (attached() && rowGuid != rowGuid_)
        table()->execute(QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 %3 ROWGUIDCOL")
                             .arg(table()->qualifiedName(), sql::quoteName(name_),
                                  rowGuid ? QStringLiteral("ADD") : QStringLiteral("DROP")));
    rowGuid_ = rowGuid;
}

void Column::SetIsComputed(bool computed) {
    requireUnattached("IsComputed");
    computed_ = computed;
}

void Column::SetComputedText(const QString& text) {
    requireUnattached("ComputedText");
    computedText_ = text;
    computed_ = !text.trimmed().isEmpty();
}

void Column::SetCollation(const QString& collation) {
    requireUnattached("Collation");
    collation_ = collation;
}

std::shared_ptr<DRIDefault> Column::DRIDefault() {
    if (!dri_)
        dri_ = std::make_shared<dmo::DRIDefault>(weak_from_this());
    return dri_;
}

void Column::SetDefault(const QString& name) { BindDefault({}, name, !name.isEmpty()); }

void Column::BindDefault(const QString& owner, const QString& name, bool bind) {
    if (attached()) {
        if (bind)
            table()->execute(QStringLiteral("EXEC sp_bindefault %1, %2")
                                 .arg(sql::quoteNString(sql::qualified(owner, name)),
                                      sql::quoteNString(columnPath())));
        else if (!default_.isEmpty())
            table()->execute(
                QStringLiteral("EXEC sp_unbindefault %1").arg(sql::quoteNString(columnPath())));
    }
    default_ = bind ? name : QString();
    defaultOwner_ = bind ? owner : QString();
}

void Column::AlterDataType(const QString& type, int length, int precision, int scale) {
    requireAttachedTable();
    const QString declaration = sql::typeDeclaration(type, length, precision, scale);
    table()->execute(QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 %3 %4")
                         .arg(table()->qualifiedName(), sql::quoteName(name_), declaration,
                              allowNulls_ ? QStringLiteral("NULL") : QStringLiteral("NOT NULL")));
    datatype_ = type;
    if (sql::typeHasLength(type) && length > 0)
        length_ = length;
    else if (!sql::typeHasLength(type))
        length_ = sql::fixedTypeLength(type);
    if (sql::typeHasPrecision(type)) {
        if (precision > 0)
            precision_ = precision;
        if (scale >= 0)
            scale_ = scale;
    }
}

QString Column::definition() {
    QString def = sql::quoteName(name_);
    if (computed_ && !computedText_.trimmed().isEmpty())
        return def + QStringLiteral(" AS ") + computedText_;
    if (datatype_.isEmpty())
        throw DmoError(Errors::InvalidOperation,
                       QStringLiteral("The column '%1' has no data type.").arg(name_));
    def += QLatin1Char(' ') + sql::typeDeclaration(datatype_, length_, precision_, scale_);
    if (!collation_.isEmpty())
        def += QStringLiteral(" COLLATE ") + sql::quoteNameIfNeeded(collation_);
    if (identity_)
        def += QStringLiteral(" IDENTITY (%1, %2)").arg(QString::number(seed_), QString::number(increment_));
    if (rowGuid_)
        def += QStringLiteral(" ROWGUIDCOL");
    def += allowNulls_ && !identity_ ? QStringLiteral(" NULL") : QStringLiteral(" NOT NULL");
    if (dri_ && !dri_->Text().trimmed().isEmpty()) {
        if (!dri_->Name().isEmpty())
            def += QStringLiteral(" CONSTRAINT ") + sql::quoteName(dri_->Name());
        def += QStringLiteral(" DEFAULT ") + dri_->Text().trimmed();
    }
    return def;
}

QString Column::afterCreateScript() {
    if (default_.isEmpty())
        return {};
    return QStringLiteral("EXEC sp_bindefault %1, %2\n")
        .arg(sql::quoteNString(sql::qualified(defaultOwner_, default_)),
             sql::quoteNString(columnPath()));
}

void Column::load(const Facts& f) {
    name_ = f.name;
    datatype_ = f.datatype;
    collation_ = f.collation;
    default_ = f.defaultName;
    id_ = f.id;
    length_ = f.length;
    precision_ = f.precision;
    scale_ = f.scale;
    allowNulls_ = f.allowNulls;
    identity_ = f.identity;
    rowGuid_ = f.rowGuid;
    computed_ = f.computed;
    computedText_ = f.computedText;
    seed_ = f.identity ? f.seed : 0;
    increment_ = f.identity ? f.increment : 0;
    DRIDefault()->load(f.driName, f.driText);
}

void Column::reloadDefaultConstraint() {
    if (!attached())
        return;
    auto t = table();
    try {
        engine::ResultSet rs = t->connection()->query(
            t->database(),
            QStringLiteral("SELECT default_name, default_text FROM syscolumns "
                           "WHERE id = OBJECT_ID(%1) AND name = %2")
                .arg(sql::quoteNString(t->qualifiedName()), sql::quoteNString(name_)));
        if (rs.rows.empty())
            DRIDefault()->load({}, {});
        else
            DRIDefault()->load(rs.text(0, 0), rs.text(0, 1));
    } catch (const DmoError&) {
        // The name stays unknown; Remove reads it again.
    }
}

} // namespace dmo
