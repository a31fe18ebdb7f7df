// sp_helptext 'name': the text of a procedure, view or default, one row per line.
#include "engine/ErrorsSchema.h"
#include "engine/sysprocs/ObjectNames.h"

namespace engine::sysprocs {

namespace {
constexpr int kRowWidth = 255;

// Lines with their ends kept, so that the rows joined give the text back; long lines are cut.
QStringList textRows(const QString& text)
{
    QStringList rows;
    QString cur;
    for (int i = 0; i < text.size(); ++i) {
        cur += text[i];
        const bool lineEnd = text[i] == QLatin1Char('\n') ||
                             (text[i] == QLatin1Char('\r') && (i + 1 >= text.size() || text[i + 1] != QLatin1Char('\n')));
        if (lineEnd || cur.size() >= kRowWidth) {
            rows << cur;
            cur.clear();
        }
    }
    if (!cur.isEmpty()) rows << cur;
    return rows;
}
} // namespace

void sp_helptext(exec::SessionImpl& s, const std::vector<ProcArg>& args)
{
    const QString name = requiredArg(args, 0, "objname", "sp_helptext");
    sql::ObjectName n = objectName(name);
    catalog::Catalog c = s.currentCatalog();
    if (!n.database.isEmpty()) {
        auto db = s.databaseName(n.database);
        if (!db || db->compare(s.currentDatabase(), Qt::CaseInsensitive) != 0)
            throw Errors::objectNotInDatabase(name, s.currentDatabase());
    }
    auto o = c.findObject(n.owner, n.name, s.userName());
    if (!o) throw Errors::objectNotInDatabase(name, s.currentDatabase());
    const bool hasText = o->xtype == QLatin1String("P") || o->xtype == QLatin1String("V") || (o->xtype == QLatin1String("D") && o->parentId == 0);
    if (!hasText || o->text.isEmpty()) throw Errors::noText(name);
    ResultSet rs;
    rs.columns.push_back(exec::columnInfo(QStringLiteral("Text"), types::makeSpec(types::Type::NVarChar, kRowWidth, std::nullopt, std::nullopt), true));
    for (const QString& line : textRows(o->text)) rs.rows.push_back(Row{QVariant(line)});
    s.addResultSet(std::move(rs));
}

} // namespace engine::sysprocs
