// Feeds arbitrary bytes, read as UTF-8, to the T-SQL lexer and parser. Syntax errors are fine;
// crashes, hangs and sanitizer reports are not. A parsed expression must also print back to
// text that parses to the same printed form.
//
//   CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DVARNOLT_FUZZ=ON -DVARNOLT_TESTS=OFF
//   cmake --build build-fuzz --target fuzz_parser
//   build-fuzz/fuzz/fuzz_parser -dict=fuzz/tsql.dict -max_len=4096 CORPUS_DIR fuzz/seeds
#include "engine/Engine.h"
#include "engine/lexer/Lexer.h"
#include "engine/parser/ExprPrinter.h"
#include "engine/parser/Parser.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The recursive parser allocates from countless distinct call stacks; recording short stacks and
// keeping a smaller quarantine holds the sanitizer's own memory flat over long runs.
extern "C" const char* __asan_default_options() {
    return "malloc_context_size=4:quarantine_size_mb=64";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        engine::sql::parseBatch(text);
    } catch (const engine::SqlError&) {
    }
    try {
        engine::sql::parseParameterList(text);
    } catch (const engine::SqlError&) {
    }
    try {
        engine::sql::ExprPtr e = engine::sql::parseExpression(text);
        const QString once = engine::sql::toSql(*e);
        try {
            const QString twice = engine::sql::toSql(*engine::sql::parseExpression(once));
            if (twice != once) {
                std::fprintf(stderr, "printing is not stable:\n%s\n%s\n", qPrintable(once),
                             qPrintable(twice));
                std::abort();
            }
        } catch (const engine::SqlError& err) {
            if (err.number() != 191) { // added parentheses may nest deeper than the limit
                std::fprintf(stderr, "printed text does not parse: %s\n%s\n", qPrintable(once),
                             err.what());
                std::abort();
            }
        }
    } catch (const engine::SqlError&) {
    }
    return 0;
}
