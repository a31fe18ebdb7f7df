// CREATE, ALTER and DROP of tables, indexes, databases, defaults and procedures.
#include "engine/parser/SqlParser.h"

#include "engine/Engine.h"

namespace engine::sql {

StmtPtr SqlParser::parseCreate() {
    const int start = cur().pos;
    expectWord("CREATE");
    const Token& t = cur();
    if (t.isWord("TABLE"))
        return parseCreateTable();
    if (t.isWord("UNIQUE") || t.isWord("CLUSTERED") || t.isWord("NONCLUSTERED") ||
        t.isWord("INDEX"))
        return parseCreateIndex();
    if (t.isWord("DATABASE"))
        return parseCreateDatabase();
    if (t.isWord("DEFAULT"))
        return parseCreateDefault();
    if (t.isWord("PROC") || t.isWord("PROCEDURE"))
        return parseCreateProcedure(false);
    if (t.isWord("VIEW"))
        return parseCreateView(false, start);
    if (t.isWord("TRIGGER") || t.isWord("FUNCTION") || t.isWord("RULE") ||
        t.isWord("SCHEMA")) {
        const QString name = QStringLiteral("CREATE ") + take().text.toUpper();
        return parseUnsupported(name, true);
    }
    if (t.type == TokenType::Identifier) {
        const QString name = QStringLiteral("CREATE ") + take().text.toUpper();
        return parseUnsupported(name, false);
    }
    syntaxError();
}

StmtPtr SqlParser::parseAlter() {
    const int start = cur().pos;
    expectWord("ALTER");
    const Token& t = cur();
    if (t.isWord("TABLE"))
        return parseAlterTable();
    if (t.isWord("DATABASE"))
        return parseAlterDatabase();
    if (t.isWord("PROC") || t.isWord("PROCEDURE"))
        return parseCreateProcedure(true);
    if (t.isWord("VIEW"))
        return parseCreateView(true, start);
    if (t.isWord("TRIGGER") || t.isWord("FUNCTION")) {
        const QString name = QStringLiteral("ALTER ") + take().text.toUpper();
        return parseUnsupported(name, true);
    }
    if (t.type == TokenType::Identifier) {
        const QString name = QStringLiteral("ALTER ") + take().text.toUpper();
        return parseUnsupported(name, false);
    }
    syntaxError();
}

StmtPtr SqlParser::parseDrop() {
    expectWord("DROP");
    const Token& t = cur();
    if (t.isWord("INDEX"))
        return parseDropIndex();
    auto s = std::make_unique<DropObjectsStmt>();
    if (t.isWord("TABLE"))
        s->objectType = ObjectType::Table;
    else if (t.isWord("DEFAULT"))
        s->objectType = ObjectType::Default;
    else if (t.isWord("PROC") || t.isWord("PROCEDURE"))
        s->objectType = ObjectType::Procedure;
    else if (t.isWord("DATABASE"))
        s->objectType = ObjectType::Database;
    else if (t.isWord("VIEW"))
        s->objectType = ObjectType::View;
    else if (t.type == TokenType::Identifier) {
        const QString name = QStringLiteral("DROP ") + take().text.toUpper();
        auto u = std::make_unique<UnsupportedStmt>();
        u->name = name;
        if (cur().isName()) {
            do
                parseNameParts(4);
            while (acceptOp(","));
        }
        skipToStatementEnd();
        return u;
    } else
        syntaxError();
    take();
    do {
        if (s->objectType == ObjectType::Database) {
            ObjectName n;
            n.name = parseName();
            s->names.push_back(n);
        } else {
            s->names.push_back(parseObjectName());
        }
    } while (acceptOp(","));
    return s;
}

// ---------------------------------------------------------------------------------------------
// Tables

bool SqlParser::atConstraintStart() const {
    const Token& t = cur();
    return t.isWord("CONSTRAINT") || t.isWord("PRIMARY") || t.isWord("UNIQUE") ||
           t.isWord("CHECK") || t.isWord("FOREIGN");
}

StmtPtr SqlParser::parseCreateTable() {
    expectWord("TABLE");
    auto s = std::make_unique<CreateTableStmt>();
    s->table = parseObjectName();
    expectOp("(");
    do {
        if (atConstraintStart())
            s->constraints.push_back(parseTableConstraint(false));
        else
            s->columns.push_back(parseColumnDef());
    } while (acceptOp(","));
    expectOp(")");
    for (;;) {
        if (acceptWord("ON"))
            s->fileGroup = parseFileGroupName();
        else if (acceptWord("TEXTIMAGE_ON"))
            s->textImageOn = parseFileGroupName();
        else
            break;
    }
    return s;
}

ColumnDef SqlParser::parseColumnDef() {
    ColumnDef c;
    c.line = cur().line;
    c.name = parseName();
    if (acceptWord("AS")) {
        c.computed = true;
        const int start = cur().pos;
        c.computedExpr = parseExpr();
        c.computedText = sourceFrom(start);
    } else {
        c.type = parseDataType();
    }
    for (;;) {
        const Token& t = cur();
        if (t.isWord("COLLATE")) {
            take();
            c.collation = parseCollationName();
        } else if (t.isWord("NULL")) {
            take();
            c.nullability = Nullability::Null;
        } else if (t.isWord("NOT") && peek(1).isWord("NULL")) {
            take();
            take();
            c.nullability = Nullability::NotNull;
        } else if (t.isWord("IDENTITY")) {
            take();
            c.identity = true;
            if (acceptOp("(")) {
                c.identitySeed = parseSignedInteger();
                expectOp(",");
                c.identityIncrement = parseSignedInteger();
                expectOp(")");
            }
            if (cur().isWord("NOT") && peek(1).isWord("FOR")) {
                take();
                take();
                expectWord("REPLICATION");
                c.notForReplication = true;
            }
        } else if (t.isWord("ROWGUIDCOL")) {
            take();
            c.rowGuidCol = true;
        } else if (t.isWord("CONSTRAINT")) {
            take();
            const QString name = parseName();
            parseColumnConstraint(c, name);
        } else if (t.isWord("DEFAULT") || t.isWord("PRIMARY") || t.isWord("UNIQUE") ||
                   t.isWord("CHECK") || t.isWord("REFERENCES") || t.isWord("FOREIGN")) {
            parseColumnConstraint(c, QString());
        } else {
            break;
        }
    }
    return c;
}

void SqlParser::parseColumnConstraint(ColumnDef& col, const QString& constraintName) {
    ConstraintDef c;
    c.line = cur().line;
    c.name = constraintName;
    const Token& t = cur();
    if (t.isWord("DEFAULT")) {
        take();
        c.type = ConstraintType::Default;
        const int start = cur().pos;
        c.expr = parseExpr();
        c.exprText = sourceFrom(start);
        c.forColumn = col.name;
        col.defaultValue = std::move(c);
        return;
    }
    if (t.isWord("PRIMARY") || t.isWord("UNIQUE")) {
        if (acceptWord("PRIMARY")) {
            expectWord("KEY");
            c.type = ConstraintType::PrimaryKey;
        } else {
            take();
            c.type = ConstraintType::Unique;
        }
        parseKeyTail(c, true, col.name);
    } else if (acceptWord("CHECK")) {
        c.type = ConstraintType::Check;
        if (acceptWord("NOT")) {
            expectWord("FOR");
            expectWord("REPLICATION");
            c.notForReplication = true;
        }
        expectOp("(");
        const int start = cur().pos;
        c.expr = parseExpr();
        c.exprText = sourceFrom(start);
        expectOp(")");
    } else if (t.isWord("REFERENCES") || t.isWord("FOREIGN")) {
        if (acceptWord("FOREIGN"))
            expectWord("KEY");
        c.type = ConstraintType::ForeignKey;
        c.fkColumns << col.name;
        parseReferences(c);
    } else {
        syntaxError();
    }
    col.constraints.push_back(std::move(c));
}

ConstraintDef SqlParser::parseTableConstraint(bool allowDefaultFor) {
    ConstraintDef c;
    c.line = cur().line;
    if (acceptWord("CONSTRAINT"))
        c.name = parseName();
    const Token& t = cur();
    if (t.isWord("PRIMARY")) {
        take();
        expectWord("KEY");
        c.type = ConstraintType::PrimaryKey;
        parseKeyTail(c, false, QString());
    } else if (t.isWord("UNIQUE")) {
        take();
        c.type = ConstraintType::Unique;
        parseKeyTail(c, false, QString());
    } else if (t.isWord("CHECK")) {
        take();
        c.type = ConstraintType::Check;
        if (acceptWord("NOT")) {
            expectWord("FOR");
            expectWord("REPLICATION");
            c.notForReplication = true;
        }
        expectOp("(");
        const int start = cur().pos;
        c.expr = parseExpr();
        c.exprText = sourceFrom(start);
        expectOp(")");
    } else if (t.isWord("FOREIGN")) {
        take();
        expectWord("KEY");
        c.type = ConstraintType::ForeignKey;
        expectOp("(");
        do
            c.fkColumns << parseName();
        while (acceptOp(","));
        expectOp(")");
        parseReferences(c);
    } else if (allowDefaultFor && t.isWord("DEFAULT")) {
        take();
        c.type = ConstraintType::Default;
        const int start = cur().pos;
        c.expr = parseExpr();
        c.exprText = sourceFrom(start);
        expectWord("FOR");
        c.forColumn = parseName();
        if (cur().isWord("WITH") && peek(1).isWord("VALUES")) {
            take();
            take();
        }
    } else {
        syntaxError();
    }
    return c;
}

void SqlParser::parseReferences(ConstraintDef& c) {
    expectWord("REFERENCES");
    c.refTable = parseObjectName();
    if (acceptOp("(")) {
        do
            c.refColumns << parseName();
        while (acceptOp(","));
        expectOp(")");
    }
    for (;;) {
        if (cur().isWord("ON") && (peek(1).isWord("DELETE") || peek(1).isWord("UPDATE"))) {
            take();
            take();
            if (acceptWord("CASCADE"))
                continue;
            if (!cur().isWord("NO"))
                syntaxError();
            take();
            if (!cur().isWord("ACTION"))
                syntaxError();
            take();
        } else if (cur().isWord("NOT") && peek(1).isWord("FOR")) {
            take();
            take();
            expectWord("REPLICATION");
            c.notForReplication = true;
        } else {
            break;
        }
    }
}

// [CLUSTERED | NONCLUSTERED] [(columns)] [WITH options] [ON filegroup]
void SqlParser::parseKeyTail(ConstraintDef& c, bool columnLevel, const QString& column) {
    if (acceptWord("CLUSTERED"))
        c.clustered = true;
    else if (acceptWord("NONCLUSTERED"))
        c.clustered = false;
    if (columnLevel) {
        c.columns.push_back(IndexColumn{column, false});
    } else {
        c.columns = parseIndexColumns();
    }
    if (acceptWord("WITH"))
        parseIndexOptions(nullptr, &c);
    if (cur().isWord("ON") && !(peek(1).isWord("DELETE") || peek(1).isWord("UPDATE"))) {
        take();
        c.fileGroup = parseFileGroupName();
    }
}

std::vector<IndexColumn> SqlParser::parseIndexColumns() {
    std::vector<IndexColumn> cols;
    expectOp("(");
    do {
        IndexColumn ic;
        ic.name = parseName();
        if (acceptWord("DESC"))
            ic.descending = true;
        else
            acceptWord("ASC");
        cols.push_back(ic);
    } while (acceptOp(","));
    expectOp(")");
    return cols;
}

// The list after WITH: FILLFACTOR = n, IGNORE_DUP_KEY, PAD_INDEX ... also in parentheses and
// with "= ON | OFF" values. A key constraint takes no option that changes what its index
// accepts (FILLFACTOR, and STATISTICS_NORECOMPUTE as the designer writes it).
void SqlParser::parseIndexOptions(CreateIndexStmt* index, ConstraintDef* constraint) {
    const bool parens = acceptOp("(");
    do {
        const Token& t = cur();
        if (t.type != TokenType::Identifier)
            syntaxError();
        const QString name = t.text.toUpper();
        if (constraint && name != QLatin1String("FILLFACTOR") &&
            name != QLatin1String("STATISTICS_NORECOMPUTE"))
            syntaxError(t);
        take();
        if (name == QLatin1String("FILLFACTOR")) {
            expectOp("=");
            const int v = parseSmallInteger();
            if (index)
                index->fillFactor = v;
            if (constraint)
                constraint->fillFactor = v;
            continue;
        }
        bool value = true;
        if (acceptOp("=")) {
            if (acceptWord("ON"))
                value = true;
            else if (acceptWord("OFF"))
                value = false;
            else
                syntaxError();
        }
        if (name == QLatin1String("PAD_INDEX")) {
            if (index)
                index->padIndex = value;
        } else if (name == QLatin1String("IGNORE_DUP_KEY")) {
            if (index)
                index->ignoreDupKey = value;
        } else if (name == QLatin1String("STATISTICS_NORECOMPUTE")) {
            if (index)
                index->statisticsNoRecompute = value;
            if (constraint)
                constraint->statisticsNoRecompute = value;
        } else if (name == QLatin1String("DROP_EXISTING")) {
            if (index)
                index->dropExisting = value;
        } else if (name == QLatin1String("SORT_IN_TEMPDB")) {
            if (index)
                index->sortInTempdb = value;
        } else {
            syntaxError(tokens_[i_ - 1]);
        }
    } while (acceptOp(","));
    if (parens)
        expectOp(")");
}

StmtPtr SqlParser::parseAlterTable() {
    expectWord("TABLE");
    auto s = std::make_unique<AlterTableStmt>();
    s->table = parseObjectName();
    if (acceptWord("WITH")) {
        if (acceptWord("CHECK"))
            s->withCheck = true;
        else if (acceptWord("NOCHECK"))
            s->withCheck = false;
        else
            syntaxError();
    }
    const Token& t = cur();
    if (t.isWord("ADD")) {
        take();
        s->action = AlterTableAction::Add;
        do {
            if (atConstraintStart() || cur().isWord("DEFAULT"))
                s->constraints.push_back(parseTableConstraint(true));
            else
                s->columns.push_back(parseColumnDef());
        } while (acceptOp(","));
    } else if (t.isWord("ALTER")) {
        take();
        expectWord("COLUMN");
        s->column = parseName();
        if ((cur().isWord("ADD") || cur().isWord("DROP")) && peek(1).isWord("ROWGUIDCOL")) {
            s->action = take().isWord("ADD") ? AlterTableAction::AddRowGuidCol
                                             : AlterTableAction::DropRowGuidCol;
            take();
            return s;
        }
        s->action = AlterTableAction::AlterColumn;
        s->type = parseDataType();
        if (acceptWord("COLLATE"))
            s->collation = parseCollationName();
        if (acceptWord("NULL"))
            s->nullability = Nullability::Null;
        else if (cur().isWord("NOT") && peek(1).isWord("NULL")) {
            take();
            take();
            s->nullability = Nullability::NotNull;
        }
    } else if (t.isWord("DROP")) {
        take();
        s->action = AlterTableAction::Drop;
        bool column = false;
        do {
            if (acceptWord("COLUMN"))
                column = true;
            else if (acceptWord("CONSTRAINT"))
                column = false;
            s->drops.push_back(DropItem{column, parseName()});
        } while (acceptOp(","));
    } else if (t.isWord("CHECK") || t.isWord("NOCHECK")) {
        s->action = AlterTableAction::CheckConstraint;
        s->check = take().isWord("CHECK");
        expectWord("CONSTRAINT");
        if (acceptWord("ALL")) {
            s->names << QStringLiteral("ALL");
        } else {
            do
                s->names << parseName();
            while (acceptOp(","));
        }
    } else if (t.isWord("ENABLE") || t.isWord("DISABLE")) {
        take();
        return parseUnsupported(QStringLiteral("ALTER TABLE TRIGGER"), false);
    } else {
        syntaxError();
    }
    return s;
}

// ---------------------------------------------------------------------------------------------
// Indexes

StmtPtr SqlParser::parseCreateIndex() {
    auto s = std::make_unique<CreateIndexStmt>();
    if (acceptWord("UNIQUE"))
        s->unique = true;
    if (acceptWord("CLUSTERED"))
        s->clustered = true;
    else if (acceptWord("NONCLUSTERED"))
        s->clustered = false;
    expectWord("INDEX");
    s->name = parseName();
    expectWord("ON");
    s->table = parseObjectName();
    s->columns = parseIndexColumns();
    if (acceptWord("WITH"))
        parseIndexOptions(s.get(), nullptr);
    if (acceptWord("ON"))
        s->fileGroup = parseFileGroupName();
    return s;
}

StmtPtr SqlParser::parseDropIndex() {
    expectWord("INDEX");
    auto s = std::make_unique<DropIndexStmt>();
    do {
        const Token& first = cur();
        QStringList parts = parseNameParts(4);
        IndexName n;
        if (acceptWord("ON")) {
            if (parts.size() != 1)
                syntaxError(first);
            n.index = parts[0];
            n.table = parseObjectName();
        } else {
            if (parts.size() < 2)
                throw SqlError(159, 15,
                               QStringLiteral("DROP INDEX needs the table and the index name, "
                                              "written table.index."),
                               first.line);
            n.index = parts.takeLast();
            const int k = int(parts.size());
            n.table.name = parts[k - 1];
            if (k > 1)
                n.table.owner = parts[k - 2];
            if (k > 2)
                n.table.database = parts[k - 3];
        }
        s->indexes.push_back(std::move(n));
    } while (acceptOp(","));
    return s;
}

// ---------------------------------------------------------------------------------------------
// Databases

void SqlParser::skipFileSpecs() {
    for (;;) {
        if (acceptWord("PRIMARY"))
            continue;
        if (cur().isWord("FILEGROUP")) {
            take();
            parseName();
            continue;
        }
        if (cur().isOp("(")) {
            int parens = 0;
            do {
                if (atEnd())
                    syntaxError();
                const Token& t = take();
                if (t.isOp("("))
                    ++parens;
                else if (t.isOp(")"))
                    --parens;
            } while (parens > 0);
            if (acceptOp(","))
                continue;
            continue;
        }
        break;
    }
}

StmtPtr SqlParser::parseCreateDatabase() {
    expectWord("DATABASE");
    auto s = std::make_unique<CreateDatabaseStmt>();
    s->name = parseName();
    if (acceptWord("ON"))
        skipFileSpecs();
    if (cur().isWord("LOG") && peek(1).isWord("ON")) {
        take();
        take();
        skipFileSpecs();
    }
    if (acceptWord("COLLATE"))
        s->collation = parseCollationName();
    if (acceptWord("FOR")) {
        if (!(cur().isWord("ATTACH") || cur().isWord("LOAD")))
            syntaxError();
        take();
    }
    return s;
}

StmtPtr SqlParser::parseAlterDatabase() {
    expectWord("DATABASE");
    auto s = std::make_unique<AlterDatabaseStmt>();
    s->name = parseName();
    if (cur().isWord("ADD") && peek(1).isWord("FILEGROUP")) {
        take();
        take();
        s->action = AlterDatabaseAction::AddFileGroup;
        s->value = parseName();
    } else if (acceptWord("COLLATE")) {
        s->action = AlterDatabaseAction::Collate;
        s->value = parseCollationName();
    } else {
        if (atEnd())
            syntaxError();
        const int start = cur().pos;
        take();
        skipToStatementEnd();
        s->action = AlterDatabaseAction::Other;
        s->value = sourceFrom(start);
    }
    return s;
}

// ---------------------------------------------------------------------------------------------
// Defaults and procedures

StmtPtr SqlParser::parseCreateDefault() {
    expectWord("DEFAULT");
    auto s = std::make_unique<CreateDefaultStmt>();
    s->name = parseObjectName();
    expectWord("AS");
    const int start = cur().pos;
    s->expr = parseExpr();
    s->exprText = sourceFrom(start);
    return s;
}

ProcParam SqlParser::parseProcParam() {
    ProcParam p;
    if (cur().type != TokenType::Variable)
        syntaxError();
    p.name = take().text;
    acceptWord("AS");
    p.type = parseDataType();
    acceptWord("VARYING");
    if (acceptOp("="))
        p.defaultValue = parseExpr();
    if (acceptWord("OUTPUT") || acceptWord("OUT"))
        p.output = true;
    return p;
}

std::vector<ProcParam> SqlParser::parseStandaloneParameters() {
    std::vector<ProcParam> params;
    if (atEnd())
        return params;
    do
        params.push_back(parseProcParam());
    while (acceptOp(","));
    if (!atEnd())
        syntaxError();
    return params;
}

StmtPtr SqlParser::parseCreateProcedure(bool alter) {
    take(); // PROC or PROCEDURE
    auto s = std::make_unique<CreateProcedureStmt>();
    s->alter = alter;
    s->name = parseObjectName();
    if (cur().isOp(";") && peek(1).type == TokenType::Integer) {
        take();
        s->number = parseSmallInteger();
    }
    const bool parens = cur().isOp("(") && peek(1).type == TokenType::Variable;
    if (parens)
        take();
    if (cur().type == TokenType::Variable) {
        do
            s->params.push_back(parseProcParam());
        while (acceptOp(","));
    }
    if (parens)
        expectOp(")");
    if (acceptWord("WITH")) {
        do {
            if (acceptWord("RECOMPILE"))
                s->recompile = true;
            else if (acceptWord("ENCRYPTION"))
                s->encryption = true;
            else
                syntaxError();
        } while (acceptOp(","));
    }
    if (acceptWord("FOR"))
        expectWord("REPLICATION");
    expectWord("AS");
    const int asEnd = lastEnd_;
    if (atEnd())
        syntaxError();
    s->bodyLine = cur().line;
    s->bodyText = text_.mid(asEnd);
    s->body = parseStatementsToEnd();
    // The whole batch, as SQL Server keeps it: comments before CREATE belong to the text.
    s->source = text_;
    return s;
}

// [CREATE | ALTER] VIEW name [(columns)] [WITH option, ...] AS query [WITH CHECK OPTION]:
// the view is the whole batch.
StmtPtr SqlParser::parseCreateView(bool alter, int startPos) {
    expectWord("VIEW");
    auto s = std::make_unique<CreateViewStmt>();
    s->alter = alter;
    s->name = parseObjectName();
    if (acceptOp("(")) {
        do
            s->columns << parseName();
        while (acceptOp(","));
        expectOp(")");
    }
    if (acceptWord("WITH")) {
        do {
            const Token& o = cur();
            if (!(o.isWord("ENCRYPTION") || o.isWord("SCHEMABINDING") || o.isWord("VIEW_METADATA")))
                syntaxError();
            s->options << take().text.toUpper();
        } while (acceptOp(","));
    }
    expectWord("AS");
    s->query = parseQuery();
    if (acceptWord("WITH")) {
        expectWord("CHECK");
        expectWord("OPTION");
        s->checkOption = true;
    }
    while (acceptOp(";")) {
    }
    if (!atEnd())
        syntaxError();
    s->source = text_.mid(startPos);
    return s;
}

StmtPtr SqlParser::parseTruncate() {
    expectWord("TRUNCATE");
    expectWord("TABLE");
    auto s = std::make_unique<TruncateStmt>();
    s->table = parseObjectName();
    return s;
}

} // namespace engine::sql
