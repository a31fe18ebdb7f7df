// Conversions between stored values, result values and declared types.

#include "engine/Errors.h"
#include "engine/exec/SessionImpl.h"
#include "engine/storage/Sqlite.h"
#include "engine/types/Convert.h"
#include "engine/types/DateTimeValue.h"
#include "engine/types/Decimal.h"

namespace engine::exec {

using types::Category;
using types::Type;
using types::TypeSpec;
using types::Value;

types::Value convertValue(const Value& v, const TypeSpec& from, const TypeSpec& to, bool assignment)
{
    return types::convert(v, from, to, assignment ? types::ConvertMode::Assignment : types::ConvertMode::Explicit);
}

ColumnInfo columnInfo(const QString& name, const TypeSpec& t, bool nullable)
{
    ColumnInfo c;
    c.name = name;
    c.typeName = t.type == Type::SysName ? QStringLiteral("nvarchar") : QString::fromLatin1(t.info().name);
    c.length = t.storageBytes();
    if (t.hasPrecision()) {
        c.precision = t.precision;
        c.scale = t.scale;
    } else {
        c.precision = t.info().precision;
        c.scale = t.info().scale;
    }
    c.nullable = nullable;
    return c;
}

namespace {
TypeSpec specFromInfo(const ColumnInfo& c)
{
    auto t = types::typeByName(c.typeName).value_or(Type::SqlVariant);
    TypeSpec s;
    s.type = t;
    s.precision = c.precision;
    s.scale = c.scale;
    s.length = types::info(t).unicode ? c.length / 2 : c.length;
    return s;
}
} // namespace

QVariant toVariant(const Value& v, const ColumnInfo& col)
{
    if (v.isNull()) return QVariant();
    TypeSpec t = specFromInfo(col);
    Value x = v;
    auto storageMatches = [&] {
        switch (t.category()) {
        case Category::Integer: return v.kind == Value::Int;
        case Category::Approx: return v.kind == Value::Real;
        case Category::Exact: return v.kind == Value::Text;
        case Category::DateTime: return v.kind == Value::Text;
        case Category::String: return v.kind == Value::Text;
        case Category::Binary: return v.kind == Value::Blob;
        case Category::Guid: return v.kind == Value::Text;
        case Category::Variant: return true;
        }
        return true;
    };
    if (!storageMatches()) {
        TypeSpec to = t;
        if (to.isString()) to.length = 8000;
        if (to.category() == Category::Binary) to.length = 8000;
        x = types::convert(v, types::runtimeType(v), to, types::ConvertMode::Explicit);
    }
    switch (t.category()) {
    case Category::Integer: return QVariant(static_cast<qlonglong>(x.i));
    case Category::Approx: return QVariant(x.d);
    case Category::Exact: {
        auto d = types::Decimal::parse(x.s, true); // files of earlier builds may hold "1.2e-09"
        int scale = t.hasPrecision() ? t.scale : 4;
        if (d && d->scale() != scale) return QVariant(QString::fromStdString(d->rounded(scale).text()));
        return QVariant(QString::fromStdString(x.s));
    }
    case Category::DateTime: {
        auto d = types::DateTimeValue::fromStored(x.s.data(), int(x.s.size()));
        if (!d) return QVariant(QString::fromStdString(x.s));
        return QVariant(d->toQDateTime());
    }
    case Category::Binary: return QVariant(QByteArray(x.s.data(), qsizetype(x.s.size())));
    case Category::Variant:
        switch (x.kind) {
        case Value::Int: return QVariant(static_cast<qlonglong>(x.i));
        case Value::Real: return QVariant(x.d);
        case Value::Blob: return QVariant(QByteArray(x.s.data(), qsizetype(x.s.size())));
        default: return QVariant(QString::fromStdString(x.s));
        }
    default: return QVariant(QString::fromUtf8(x.s.data(), qsizetype(x.s.size())));
    }
}

TypeSpec specOf(const sql::DataType& dt, SessionImpl* session, bool inConvert)
{
    if (auto t = types::typeByName(dt.name)) {
        if (*t == Type::Float && dt.precision) return types::makeSpec(*t, std::nullopt, dt.precision, std::nullopt, inConvert);
        if (*t == Type::Decimal || *t == Type::Numeric) {
            std::optional<int> p = dt.precision, s = dt.scale;
            if (!p && dt.length) p = dt.length; // decimal(10) written as a length
            return types::makeSpec(*t, std::nullopt, p, s, inConvert);
        }
        return types::makeSpec(*t, dt.length, dt.precision, dt.scale, inConvert);
    }
    if (session) {
        // a user-defined type of the current database
        catalog::Catalog cat = session->currentCatalog();
        storage::Statement s(session->db(), QStringLiteral("SELECT name, base_type, length, prec, scale FROM %1.cat_types WHERE name = ?1 COLLATE TSQL_CI")
                                                .arg(storage::quoteId(cat.schema())));
        s.bind(1, dt.name);
        if (s.step()) {
            TypeSpec r;
            r.type = static_cast<Type>(s.integer(1));
            r.length = int(s.integer(2));
            r.precision = int(s.integer(3));
            r.scale = int(s.integer(4));
            r.userType = s.text(0);
            return r;
        }
    }
    throw Errors::make(2715, QStringLiteral("Data type %1 is not known.").arg(dt.name));
}

} // namespace engine::exec

namespace engine {

QString valueText(const QVariant& value, const ColumnInfo& column)
{
    if (value.isNull() || !value.isValid()) return QString();
    const QString& t = column.typeName;
    if (value.typeId() == QMetaType::QDateTime) {
        QDateTime d = value.toDateTime();
        if (t == QLatin1String("smalldatetime")) return d.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        return d.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    }
    if (value.typeId() == QMetaType::QByteArray) return QStringLiteral("0x") + QString::fromLatin1(value.toByteArray().toHex().toUpper());
    if (value.typeId() == QMetaType::Double) {
        double d = value.toDouble();
        if (t == QLatin1String("real")) return QString::number(d, 'g', 7);
        return QString::number(d, 'g', 15);
    }
    return value.toString();
}

} // namespace engine
