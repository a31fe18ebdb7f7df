// Metadata, property and security functions (OBJECTPROPERTY, COLUMNPROPERTY, COL_LENGTH,
// SERVERPROPERTY, USER_ID, ...): SQL over the current database's catalog tables. An unknown
// property gives NULL, as the server does.

#include "engine/Errors.h"
#include "engine/exec/BuiltinFunctions.h"
#include "engine/exec/SchemaSupport.h"
#include "engine/exec/SessionImpl.h"
#include "engine/instance/InstanceImpl.h"
#include "engine/storage/Sqlite.h"

#include <QCoreApplication>
#include <QSysInfo>

namespace engine::exec {

using namespace engine::sql;
using storage::quoteId;
using types::Category;
using types::Type;
using types::TypeSpec;
using types::Value;

namespace {

std::optional<QString> literalText(const Expr& e)
{
    if (auto l = tryAs<const LiteralExpr>(&e); l && (l->type == LiteralType::String || l->type == LiteralType::NString)) return l->text;
    return std::nullopt;
}

// A name argument known when the statement is compiled: a literal, or a variable's value (a null
// QString when the variable is NULL).
QString literalArg(SessionImpl& s, const FunctionExpr& f, size_t i, const char* what)
{
    if (auto t = literalText(*f.args[i])) return *t;
    if (auto v = tryAs<const VariableExpr>(f.args[i].get())) {
        const Variable* var = s.variable(v->name);
        if (!var) throw Errors::mustDeclare(v->name);
        if (var->value.kind == Value::Null) return {};
        if (var->value.kind == Value::Text) return QString::fromStdString(var->value.s);
    }
    throw Errors::notSupported(QStringLiteral("%1 with a %2 that is not a literal or a variable").arg(f.name.toUpper(), QLatin1String(what)));
}

// The id of a named object of the current database, as OBJECT_ID finds it.
std::optional<int> objectId(SessionImpl& s, const QString& text)
{
    sql::ObjectName on = parseObjectName(text);
    try {
        if (!on.database.isEmpty() && on.database.compare(s.currentDatabase(), Qt::CaseInsensitive) != 0) return std::nullopt;
        if (auto o = s.currentCatalog().findObject(on.owner, on.name, s.userName())) return o->id;
    } catch (const SqlError&) {
    }
    return std::nullopt;
}

// The id of a system table (sysobjects, syscolumns, ...) as the database's sysobjects lists it.
std::optional<int> systemTableId(SessionImpl& s, const QString& database, const sql::ObjectName& on)
{
    if (!on.owner.isEmpty() && !sameName(on.owner, QStringLiteral("dbo"))) return std::nullopt;
    storage::Statement q(s.db(), QStringLiteral("SELECT id FROM %1.v_sysobjects WHERE xtype = 'S' AND name = ?1 COLLATE TSQL_CI")
                                     .arg(quoteId(s.schemaFor(database))));
    q.bind(1, on.name);
    if (!q.step()) return std::nullopt;
    return int(q.integer(0));
}

// CASE over a column's system type (cat_columns.type), one SQL value per type
QString typeCase(const QString& col, const std::function<QString(const types::TypeInfo&)>& value)
{
    int n = 0;
    const types::TypeInfo* all = types::allTypes(n);
    QString s = QStringLiteral("CASE %1").arg(col);
    for (int i = 0; i < n; ++i) s += QStringLiteral(" WHEN %1 THEN %2").arg(int(all[i].type)).arg(value(all[i]));
    return s + QStringLiteral(" END");
}

QString precisionOf(const types::TypeInfo& ti, const QString& length, const QString& prec)
{
    switch (ti.type) {
    case Type::Char: case Type::VarChar: case Type::NChar: case Type::NVarChar: case Type::Binary: case Type::VarBinary: return length;
    case Type::SysName: return QStringLiteral("128");
    case Type::Decimal: case Type::Numeric: return prec;
    case Type::Text: case Type::Image: return QStringLiteral("2147483647");
    case Type::NText: return QStringLiteral("1073741823");
    case Type::Timestamp: return QStringLiteral("8");
    case Type::UniqueIdentifier: return QStringLiteral("16");
    case Type::SqlVariant: return QStringLiteral("0");
    default: return QString::number(ti.precision);
    }
}

QString scaleOf(const types::TypeInfo& ti, const QString& scale)
{
    switch (ti.category) {
    case Category::Integer: return QStringLiteral("0");
    case Category::Exact: return ti.type == Type::Decimal || ti.type == Type::Numeric ? scale : QStringLiteral("4");
    case Category::DateTime: return QString::number(ti.scale);
    default: return QStringLiteral("NULL");
    }
}

QString objectPropertySql(const QString& prop, const QString& S)
{
    const QString p = prop.toLower();
    auto xt = [](const char* x) { return QStringLiteral("(o.xtype = '%1')").arg(QLatin1String(x)); };
    auto tableOnly = [](const QString& cond) { return QStringLiteral("CASE WHEN o.xtype IN ('U', 'S') THEN %1 END").arg(cond); };
    auto exists = [&](const QString& from) { return QStringLiteral("EXISTS (SELECT 1 FROM %1)").arg(from); };
    const QString cols = S + QStringLiteral(".cat_columns c WHERE c.table_id = o.id AND ");
    const QString idx = S + QStringLiteral(".cat_indexes i WHERE i.table_id = o.id");
    if (p == QLatin1String("isusertable")) return xt("U");
    if (p == QLatin1String("istable")) return QStringLiteral("(o.xtype IN ('U', 'S'))");
    if (p == QLatin1String("issystemtable") || p == QLatin1String("ismsshipped")) return xt("S");
    if (p == QLatin1String("isprocedure")) return xt("P");
    if (p == QLatin1String("isview")) return xt("V");
    if (p == QLatin1String("isprimarykey")) return xt("PK");
    if (p == QLatin1String("isuniquecnst")) return xt("UQ");
    if (p == QLatin1String("isdefault")) return QStringLiteral("(o.xtype = 'D' AND o.parent_obj = 0)");
    if (p == QLatin1String("isdefaultcnst")) return QStringLiteral("(o.xtype = 'D' AND o.parent_obj <> 0)");
    if (p == QLatin1String("isconstraint"))
        return QStringLiteral("(o.xtype IN ('PK', 'UQ', 'F', 'C') OR (o.xtype = 'D' AND o.parent_obj <> 0))");
    if (p == QLatin1String("isforeignkey")) return xt("F");
    if (p == QLatin1String("ischeckcnst")) return xt("C");
    if (p == QLatin1String("istrigger")) return xt("TR");
    if (p == QLatin1String("isrule")) return xt("R");
    if (p == QLatin1String("isscalarfunction")) return xt("FN");
    if (p == QLatin1String("istablefunction")) return xt("TF");
    if (p == QLatin1String("isinlinefunction")) return xt("IF");
    if (p == QLatin1String("isextendedproc")) return xt("X");
    if (p == QLatin1String("isreplproc")) return QStringLiteral("0");
    if (p == QLatin1String("ownerid")) return QStringLiteral("o.uid");
    if (p == QLatin1String("isansinullson") || p == QLatin1String("isquotedidenton")) return QStringLiteral("1");
    if (p == QLatin1String("execisansinullson") || p == QLatin1String("execisquotedidenton"))
        return QStringLiteral("CASE WHEN o.xtype = 'P' THEN 1 END");
    if (p == QLatin1String("tablehasprimarykey")) return tableOnly(exists(idx + QStringLiteral(" AND i.primary_key")));
    if (p == QLatin1String("tablehasuniquecnst")) return tableOnly(exists(idx + QStringLiteral(" AND i.unique_key")));
    if (p == QLatin1String("tablehasclustindex")) return tableOnly(exists(idx + QStringLiteral(" AND i.clustered")));
    if (p == QLatin1String("tablehasnonclustindex")) return tableOnly(exists(idx + QStringLiteral(" AND NOT i.clustered")));
    if (p == QLatin1String("tablehasindex") || p == QLatin1String("isindexed"))
        return QStringLiteral("CASE WHEN o.xtype IN ('U', 'S', 'V') THEN %1 END").arg(exists(idx));
    if (p == QLatin1String("tablehasidentity")) return tableOnly(exists(cols + QStringLiteral("c.is_identity")));
    if (p == QLatin1String("tablehasrowguidcol")) return tableOnly(exists(cols + QStringLiteral("c.rowguid")));
    if (p == QLatin1String("tablehastimestamp")) return tableOnly(exists(cols + QStringLiteral("c.type = %1").arg(int(Type::Timestamp))));
    if (p == QLatin1String("tablehasdefaultcnst"))
        return tableOnly(exists(S + QStringLiteral(".cat_objects d WHERE d.parent_id = o.id AND d.xtype = 'D'")));
    if (p == QLatin1String("tablehasforeignkey") || p == QLatin1String("tablehascheckcnst") || p == QLatin1String("tablehasforeignref") ||
        p == QLatin1String("tablehasinserttrigger") || p == QLatin1String("tablehasupdatetrigger") ||
        p == QLatin1String("tablehasdeletetrigger") || p == QLatin1String("tablehasactivefulltextindex") ||
        p == QLatin1String("tablefulltextcatalogid"))
        return tableOnly(QStringLiteral("0"));
    if (p == QLatin1String("tablehastextimage"))
        return tableOnly(exists(cols + QStringLiteral("c.type IN (%1, %2, %3)").arg(int(Type::Text)).arg(int(Type::NText)).arg(int(Type::Image))));
    if (p == QLatin1String("isindexable")) return QStringLiteral("(o.xtype IN ('U', 'V'))");
    if (p == QLatin1String("cnstisclustkey") || p == QLatin1String("cnstisnonclustkey"))
        return QStringLiteral("CASE WHEN o.xtype IN ('PK', 'UQ') THEN EXISTS (SELECT 1 FROM %1.cat_indexes i WHERE i.constraint_id = o.id AND %2i.clustered) END")
            .arg(S, p == QLatin1String("cnstisclustkey") ? QString() : QStringLiteral("NOT "));
    return {};
}

QString columnPropertySql(const QString& prop)
{
    const QString p = prop.toLower();
    if (p == QLatin1String("allowsnull")) return QStringLiteral("c.nullable");
    if (p == QLatin1String("isidentity")) return QStringLiteral("c.is_identity");
    if (p == QLatin1String("iscomputed")) return QStringLiteral("(c.computed IS NOT NULL)");
    if (p == QLatin1String("isrowguidcol")) return QStringLiteral("c.rowguid");
    if (p == QLatin1String("isidnotforrepl") || p == QLatin1String("isfulltextindexed") || p == QLatin1String("isoutparam") ||
        p == QLatin1String("iscursortype"))
        return QStringLiteral("0");
    if (p == QLatin1String("isindexable")) return QStringLiteral("1");
    if (p == QLatin1String("isdeterministic")) return QStringLiteral("CASE WHEN c.computed IS NOT NULL THEN 1 END");
    if (p == QLatin1String("isprecise"))
        return QStringLiteral("(c.type NOT IN (%1, %2))").arg(int(Type::Float)).arg(int(Type::Real));
    if (p == QLatin1String("usesansitrim")) return QStringLiteral("1");
    if (p == QLatin1String("precision"))
        return typeCase(QStringLiteral("c.type"), [](const types::TypeInfo& ti) { return precisionOf(ti, QStringLiteral("c.length"), QStringLiteral("c.prec")); });
    if (p == QLatin1String("scale"))
        return typeCase(QStringLiteral("c.type"), [](const types::TypeInfo& ti) { return scaleOf(ti, QStringLiteral("c.scale")); });
    return {};
}

QString indexPropertySql(const QString& prop)
{
    const QString p = prop.toLower();
    if (p == QLatin1String("isclustered")) return QStringLiteral("i.clustered");
    if (p == QLatin1String("isunique")) return QStringLiteral("i.is_unique");
    if (p == QLatin1String("indexid")) return QStringLiteral("i.indid");
    if (p == QLatin1String("indexfillfactor")) return QStringLiteral("i.fill_factor");
    if (p == QLatin1String("ispadindex")) return QStringLiteral("i.pad_index");
    if (p == QLatin1String("indexdepth")) return QStringLiteral("1");
    if (p == QLatin1String("isstatistics") || p == QLatin1String("isautostatistics") || p == QLatin1String("ishypothetical") ||
        p == QLatin1String("isfulltextkey") || p == QLatin1String("ispagelockdisallowed") || p == QLatin1String("isrowlockdisallowed"))
        return QStringLiteral("0");
    return {};
}

// A type's properties for TYPEPROPERTY; the base type and its length/precision/scale
struct TypeFacts {
    const types::TypeInfo* info = nullptr;
    int length = 0, prec = 0, scale = 0;
    bool nullable = true;
};

std::optional<TypeFacts> typeFacts(SessionImpl& s, const QString& name)
{
    TypeFacts f;
    if (auto t = types::typeByName(name)) {
        f.info = &types::info(*t);
        f.length = f.info->maxLength;
        f.prec = f.info->type == Type::Decimal || f.info->type == Type::Numeric ? 38 : f.info->precision;
        f.scale = f.info->type == Type::Decimal || f.info->type == Type::Numeric ? 38 : f.info->scale;
        return f;
    }
    storage::Statement q(s.db(), QStringLiteral("SELECT base_type, length, prec, scale, nullable FROM %1.cat_types WHERE name = ?1 COLLATE TSQL_CI")
                                     .arg(quoteId(s.currentSchema())));
    q.bind(1, name);
    if (!q.step()) return std::nullopt;
    f.info = &types::info(static_cast<Type>(q.integer(0)));
    f.length = int(q.integer(1));
    f.prec = int(q.integer(2));
    f.scale = int(q.integer(3));
    f.nullable = q.integer(4) != 0;
    return f;
}

QString textValue(Translator& tr, const QString& v) { return tr.bind(Value::ofText(v.toStdString())); }

} // namespace

sql::ObjectName parseObjectName(const QString& t)
{
    QStringList parts;
    QString cur;
    bool inBr = false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        QChar c = t[i];
        if (inBr) {
            if (c == QLatin1Char(']')) {
                if (i + 1 < t.size() && t[i + 1] == QLatin1Char(']')) {
                    cur += c;
                    ++i;
                } else inBr = false;
            } else cur += c;
        } else if (c == QLatin1Char('[')) inBr = true;
        else if (c == QLatin1Char('.')) {
            parts << cur;
            cur.clear();
        } else cur += c;
    }
    parts << cur;
    sql::ObjectName on;
    on.name = parts.value(parts.size() - 1).trimmed();
    if (parts.size() >= 2) on.owner = parts[parts.size() - 2].trimmed();
    if (parts.size() >= 3) on.database = parts[parts.size() - 3].trimmed();
    return on;
}

std::optional<Typed> metadataFunction(Translator& tr, const FunctionExpr& f, const Scope& scope)
{
    SessionImpl& s = tr.session();
    const QString n = f.lowerName();
    const QString S = quoteId(s.currentSchema());
    Typed r;
    r.type = spec(Type::Int);
    auto arg = [&](size_t i) {
        Typed t = tr.expr(*f.args[i], scope);
        r.hasAggregate |= t.hasAggregate;
        return t.sql;
    };
    auto nullResult = [&]() {
        r.sql = QStringLiteral("NULL");
        return r;
    };

    if (n == QLatin1String("object_id")) {
        // the object of that name, in any database; a variable's name as it holds it now
        argCount(f, 1, 1);
        QString text = literalArg(s, f, 0, "name");
        r.sql = QStringLiteral("NULL");
        if (text.isNull()) return r;
        sql::ObjectName on = parseObjectName(text);
        try {
            auto db = s.databaseName(on.database.isEmpty() ? s.currentDatabase() : on.database);
            if (!db) return r;
            // this session's #table, named in tempdb as it is stored there
            if (sameName(*db, QStringLiteral("tempdb"))) on = s.tempName(on);
            if (auto o = s.catalogFor(*db).findObject(on.owner, on.name, s.userName())) r.sql = QString::number(o->id);
            else if (auto id = systemTableId(s, *db, on)) r.sql = QString::number(*id);
        } catch (const SqlError&) {
        }
        return r;
    }
    if (n == QLatin1String("objectproperty")) {
        argCount(f, 2, 2);
        QString prop = literalArg(s, f, 1, "property");
        QString id = arg(0);
        QString v = objectPropertySql(prop, S);
        if (v.isEmpty()) return nullResult();
        r.sql = QStringLiteral("(SELECT %1 FROM %2.v_sysobjects o WHERE o.id = %3)").arg(v, S, id);
        return r;
    }
    if (n == QLatin1String("columnproperty")) {
        argCount(f, 3, 3);
        QString prop = literalArg(s, f, 2, "property");
        QString id = arg(0), col = arg(1);
        QString v = columnPropertySql(prop);
        if (v.isEmpty()) return nullResult();
        r.sql = QStringLiteral("(SELECT %1 FROM %2.cat_columns c WHERE c.table_id = %3 AND c.name = %4 COLLATE TSQL_CI)").arg(v, S, id, col);
        return r;
    }
    if (n == QLatin1String("indexproperty")) {
        argCount(f, 3, 3);
        QString prop = literalArg(s, f, 2, "property");
        QString id = arg(0), name = arg(1);
        QString v = indexPropertySql(prop);
        if (v.isEmpty()) return nullResult();
        r.sql = QStringLiteral("(SELECT %1 FROM %2.cat_indexes i WHERE i.table_id = %3 AND i.name = %4 COLLATE TSQL_CI)").arg(v, S, id, name);
        return r;
    }
    if (n == QLatin1String("indexkey_property")) {
        argCount(f, 4, 4);
        QString prop = literalArg(s, f, 3, "property").toLower();
        QString id = arg(0), indid = arg(1), keyno = arg(2);
        QString v = prop == QLatin1String("columnid") ? QStringLiteral("k.colid") : prop == QLatin1String("isdescending") ? QStringLiteral("k.descending") : QString();
        if (v.isEmpty()) return nullResult();
        r.sql = QStringLiteral("(SELECT %1 FROM %2.cat_index_columns k WHERE k.table_id = %3 AND k.indid = %4 AND k.keyno = %5)").arg(v, S, id, indid, keyno);
        return r;
    }
    if (n == QLatin1String("col_name")) {
        argCount(f, 2, 2);
        QString id = arg(0), colid = arg(1);
        r.sql = QStringLiteral("(SELECT name FROM %1.cat_columns WHERE table_id = %2 AND colid = %3)").arg(S, id, colid);
        r.type = spec(Type::NVarChar, 128);
        return r;
    }
    if (n == QLatin1String("col_length")) {
        argCount(f, 2, 2);
        auto id = objectId(s, literalArg(s, f, 0, "table name"));
        QString col = arg(1);
        r.type = spec(Type::SmallInt);
        if (!id) return nullResult();
        r.sql = QStringLiteral("(SELECT length FROM %1.v_syscolumns WHERE id = %2 AND name = %3)").arg(S).arg(*id).arg(col);
        return r;
    }
    if (n == QLatin1String("index_col")) {
        argCount(f, 3, 3);
        auto id = objectId(s, literalArg(s, f, 0, "table name"));
        QString indid = arg(1), keyno = arg(2);
        r.type = spec(Type::NVarChar, 128);
        if (!id) return nullResult();
        r.sql = QStringLiteral("(SELECT c.name FROM %1.cat_index_columns k JOIN %1.cat_columns c ON c.table_id = k.table_id AND c.colid = k.colid "
                               "WHERE k.table_id = %2 AND k.indid = %3 AND k.keyno = %4)").arg(S).arg(*id).arg(indid, keyno);
        return r;
    }
    if (n == QLatin1String("typeproperty")) {
        argCount(f, 2, 2);
        auto t = typeFacts(s, literalArg(s, f, 0, "type name"));
        QString p = literalArg(s, f, 1, "property").toLower();
        if (!t) return nullResult();
        const types::TypeInfo& ti = *t->info;
        bool user = t->info->maxLength ? t->length != ti.maxLength : false;
        if (p == QLatin1String("precision")) {
            QString v = precisionOf(ti, QString::number(t->length), QString::number(t->prec));
            r.sql = user || ti.maxLength ? QString::number(t->length) : v;
        } else if (p == QLatin1String("scale")) {
            r.sql = scaleOf(ti, QString::number(t->scale));
        } else if (p == QLatin1String("allowsnull")) {
            r.sql = t->nullable ? QStringLiteral("1") : QStringLiteral("0");
        } else if (p == QLatin1String("usesansitrim")) {
            r.sql = QStringLiteral("1");
        } else {
            return nullResult();
        }
        return r;
    }
    if (n == QLatin1String("databaseproperty")) {
        argCount(f, 2, 2);
        auto db = s.databaseName(literalArg(s, f, 0, "database name"));
        QString p = literalArg(s, f, 1, "property").toLower();
        if (!db) return nullResult();
        if (p == QLatin1String("version")) r.sql = QStringLiteral("539");
        else if (p == QLatin1String("isautocreatestatistics") || p == QLatin1String("isautoupdatestatistics") ||
                 p == QLatin1String("istornpagedetectionenabled"))
            r.sql = QStringLiteral("1");
        else if (p.startsWith(QLatin1String("is"))) r.sql = QStringLiteral("0");
        else return nullResult();
        return r;
    }
    if (n == QLatin1String("serverproperty")) {
        argCount(f, 1, 1);
        QString p = literalArg(s, f, 0, "property").toLower();
        r.type = spec(Type::SqlVariant);
        r.unknownType = true;
        QString server = s.serverNameText();
        qsizetype slash = server.indexOf(QLatin1Char('\\'));
        if (p == QLatin1String("productversion")) r.sql = textValue(tr, QStringLiteral("8.00.2039"));
        else if (p == QLatin1String("productlevel")) r.sql = textValue(tr, QStringLiteral("SP4"));
        else if (p == QLatin1String("edition")) r.sql = textValue(tr, QStringLiteral("Standard Edition"));
        else if (p == QLatin1String("engineedition")) r.sql = QStringLiteral("2");
        else if (p == QLatin1String("machinename")) r.sql = textValue(tr, QSysInfo::machineHostName());
        else if (p == QLatin1String("servername")) r.sql = textValue(tr, server);
        else if (p == QLatin1String("instancename")) r.sql = slash >= 0 ? textValue(tr, server.mid(slash + 1)) : QStringLiteral("NULL");
        else if (p == QLatin1String("collation")) r.sql = textValue(tr, s.server().serverCollation());
        else if (p == QLatin1String("processid")) r.sql = QString::number(QCoreApplication::applicationPid());
        else if (p == QLatin1String("licensetype")) r.sql = textValue(tr, QStringLiteral("DISABLED"));
        else if (p == QLatin1String("sqlcharset")) r.sql = QStringLiteral("1");
        else if (p == QLatin1String("sqlcharsetname")) r.sql = textValue(tr, QStringLiteral("iso_1"));
        else if (p == QLatin1String("sqlsortorder")) r.sql = QStringLiteral("52");
        else if (p == QLatin1String("sqlsortordername")) r.sql = textValue(tr, QStringLiteral("nocase_iso"));
        else if (p == QLatin1String("isclustered") || p == QLatin1String("isfulltextinstalled") || p == QLatin1String("isintegratedsecurityonly") ||
                 p == QLatin1String("issinglemode") || p == QLatin1String("issingleuser") || p == QLatin1String("issyncwithbackup"))
            r.sql = QStringLiteral("0");
        else return nullResult();
        return r;
    }
    if (n == QLatin1String("user_id")) {
        argCount(f, 0, 1);
        r.type = spec(Type::SmallInt);
        QString me = s.userName();
        QString name = f.args.empty() ? me : QString();
        if (!f.args.empty()) {
            QString a = arg(0);
            r.sql = QStringLiteral("(CASE lower(%1) WHEN 'dbo' THEN 1 WHEN 'guest' THEN 2 WHEN 'information_schema' THEN 3 "
                                   "WHEN 'system_function_schema' THEN 4 WHEN lower(%2) THEN 5 END)").arg(a, textValue(tr, me));
            return r;
        }
        r.sql = me == QLatin1String("dbo") ? QStringLiteral("1") : QStringLiteral("5");
        r.nullable = false;
        return r;
    }
    if (n == QLatin1String("user_name") && f.args.size() == 1) {
        QString a = arg(0);
        r.type = spec(Type::NVarChar, 128);
        r.sql = QStringLiteral("(CASE %1 WHEN 1 THEN 'dbo' WHEN 2 THEN 'guest' WHEN 3 THEN 'INFORMATION_SCHEMA' WHEN 4 THEN 'system_function_schema' "
                               "WHEN 5 THEN %2 END)").arg(a, s.userName() == QLatin1String("dbo") ? QStringLiteral("NULL") : textValue(tr, s.userName()));
        return r;
    }
    if (n == QLatin1String("is_member")) {
        argCount(f, 1, 1);
        QString role = literalArg(s, f, 0, "role name").toLower();
        static const QStringList roles = {QStringLiteral("db_accessadmin"), QStringLiteral("db_backupoperator"), QStringLiteral("db_datareader"),
            QStringLiteral("db_datawriter"), QStringLiteral("db_ddladmin"), QStringLiteral("db_denydatareader"), QStringLiteral("db_denydatawriter"),
            QStringLiteral("db_owner"), QStringLiteral("db_securityadmin")};
        bool dbo = s.userName() == QLatin1String("dbo");
        if (role == QLatin1String("public")) r.sql = QStringLiteral("1");
        else if (role == QLatin1String("db_owner")) r.sql = dbo ? QStringLiteral("1") : QStringLiteral("0");
        else if (roles.contains(role)) r.sql = QStringLiteral("0");
        else return nullResult();
        return r;
    }
    if (n == QLatin1String("is_srvrolemember")) {
        argCount(f, 1, 2);
        if (f.args.size() == 2) throw Errors::notSupported(QStringLiteral("IS_SRVROLEMEMBER for another login"));
        QString role = literalArg(s, f, 0, "role name").toLower();
        static const QStringList roles = {QStringLiteral("sysadmin"), QStringLiteral("dbcreator"), QStringLiteral("diskadmin"),
            QStringLiteral("processadmin"), QStringLiteral("serveradmin"), QStringLiteral("setupadmin"), QStringLiteral("securityadmin"),
            QStringLiteral("bulkadmin")};
        if (!roles.contains(role)) return nullResult();
        r.sql = role == QLatin1String("sysadmin") && s.isSysadmin() ? QStringLiteral("1") : QStringLiteral("0");
        return r;
    }
    if (n == QLatin1String("has_dbaccess")) {
        argCount(f, 1, 1);
        if (!s.databaseName(literalArg(s, f, 0, "database name"))) return nullResult();
        r.sql = QStringLiteral("1");
        return r;
    }
    if (n == QLatin1String("getansinull")) {
        argCount(f, 0, 1);
        if (!f.args.empty() && !s.databaseName(literalArg(s, f, 0, "database name"))) return nullResult();
        r.sql = QStringLiteral("1");
        return r;
    }
    if (n == QLatin1String("host_id")) {
        argCount(f, 0, 0);
        r.sql = textValue(tr, QString::number(QCoreApplication::applicationPid()));
        r.type = spec(Type::Char, 8);
        r.nullable = false;
        return r;
    }
    if (n == QLatin1String("filegroup_name")) {
        argCount(f, 1, 1);
        r.sql = QStringLiteral("(SELECT name FROM %1.cat_filegroups WHERE groupid = %2)").arg(S, arg(0));
        r.type = spec(Type::NVarChar, 128);
        return r;
    }
    if (n == QLatin1String("filegroup_id")) {
        argCount(f, 1, 1);
        r.sql = QStringLiteral("(SELECT groupid FROM %1.cat_filegroups WHERE name = %2 COLLATE TSQL_CI)").arg(S, arg(0));
        r.type = spec(Type::SmallInt);
        return r;
    }
    if (n == QLatin1String("filegroupproperty")) {
        argCount(f, 2, 2);
        QString p = literalArg(s, f, 1, "property").toLower();
        QString v = p == QLatin1String("isdefault") ? QStringLiteral("(groupid = 1)")
                  : p == QLatin1String("isuserdefinedfg") ? QStringLiteral("(groupid <> 1)")
                  : p == QLatin1String("isreadonly") ? QStringLiteral("0") : QString();
        if (v.isEmpty()) return nullResult();
        r.sql = QStringLiteral("(SELECT %1 FROM %2.cat_filegroups WHERE name = %3 COLLATE TSQL_CI)").arg(v, S, arg(0));
        return r;
    }
    return std::nullopt;
}

} // namespace engine::exec
