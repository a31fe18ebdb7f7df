// DBCC statements: CHECKIDENT; every other DBCC command is refused as not supported.
#include "engine/parser/SqlParser.h"

namespace engine::sql {

StmtPtr SqlParser::parseDbcc() {
    expectWord("DBCC");
    if (!cur().isWord("CHECKIDENT")) {
        const QString command = take().text.toUpper();
        return parseUnsupported(QStringLiteral("DBCC ") + command, false);
    }
    take();
    auto s = std::make_unique<DbccCheckIdentStmt>();
    expectOp("(");
    if (cur().type == TokenType::String || cur().type == TokenType::NString)
        s->table = take().text;
    else
        s->name = parseObjectName();
    if (acceptOp(",")) {
        if (acceptWord("NORESEED")) {
            s->noReseed = true;
        } else {
            expectWord("RESEED");
            if (acceptOp(","))
                s->value = parseSignedInteger();
        }
    }
    expectOp(")");
    if (acceptWord("WITH")) {
        if (!cur().isWord("NO_INFOMSGS"))
            syntaxError();
        take();
        s->noInfoMessages = true;
    }
    return s;
}

} // namespace engine::sql
