#pragma once
// Helpers shared by the parser tests.

#include "engine/Engine.h"
#include "engine/parser/Parser.h"

#include <gtest/gtest.h>

namespace parsertest {

using namespace engine::sql;

// Parses a batch holding one statement and returns it as T.
template <class T> std::unique_ptr<T> one(const QString& sql) {
    StatementList list = parseBatch(sql);
    EXPECT_EQ(list.size(), 1u) << sql.toStdString();
    if (list.size() != 1)
        return nullptr;
    as<T>(*list[0]); // throws on a wrong kind
    return std::unique_ptr<T>(static_cast<T*>(list[0].release()));
}

struct ErrorInfo {
    int number = 0;
    int line = 0;
    QString text;
};

inline ErrorInfo errorOf(const QString& sql) {
    try {
        parseBatch(sql);
    } catch (const engine::SqlError& e) {
        return {e.number(), e.message().line, e.message().text};
    }
    return {};
}

} // namespace parsertest
