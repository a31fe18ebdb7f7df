#include "dmo/DRIDefault.h"

#include "dmo/Column.h"
#include "dmo/Sql.h"
#include "dmo/Table.h"

namespace dmo {

void DRIDefault::SetText(const QString& text) {
    auto column = column_.lock();
    if (!column || !column->attached()) {
        text_ = text;
        return;
    }
    auto table = column->table();
    if (name_.isEmpty() && !text_.isEmpty())
        column->reloadDefaultConstraint();
    QString script;
    // A name set on a column without a constraint is the new constraint's.
    if (!name_.isEmpty() && !text_.isEmpty())
        script += QStringLiteral("ALTER TABLE %1 DROP CONSTRAINT %2\n")
                      .arg(table->qualifiedName(), sql::quoteName(name_));
    if (!text.trimmed().isEmpty()) {
        script += QStringLiteral("ALTER TABLE %1 ADD ").arg(table->qualifiedName());
        if (!name_.isEmpty())
            script += QStringLiteral("CONSTRAINT %1 ").arg(sql::quoteName(name_));
        script += QStringLiteral("DEFAULT %1 FOR %2")
                      .arg(text.trimmed(), sql::quoteName(column->Name()));
    }
    if (script.isEmpty())
        return;
    table->execute(script);
    text_ = text;
    column->reloadDefaultConstraint();
}

void DRIDefault::Remove() {
    auto column = column_.lock();
    if (!column || !column->attached()) {
        name_.clear();
        text_.clear();
        return;
    }
    if (name_.isEmpty())
        column->reloadDefaultConstraint();
    if (name_.isEmpty())
        return;
    auto table = column->table();
    table->execute(QStringLiteral("ALTER TABLE %1 DROP CONSTRAINT %2")
                       .arg(table->qualifiedName(), sql::quoteName(name_)));
    name_.clear();
    text_.clear();
}

} // namespace dmo
