#include "engine/parser/Parser.h"

#include "engine/parser/SqlParser.h"

namespace engine::sql {

StatementList parseBatch(const QString& text) {
    return SqlParser(text).parseBatch();
}

ExprPtr parseExpression(const QString& text) {
    return SqlParser(text).parseStandaloneExpression();
}

DataType parseDataType(const QString& text) {
    return SqlParser(text).parseStandaloneDataType();
}

std::vector<ProcParam> parseParameterList(const QString& text) {
    return SqlParser(text).parseStandaloneParameters();
}

} // namespace engine::sql
