// STDEV, STDEVP, VAR and VARP: sample and population spread of the non-null values, as float.

#include "engine/functions/FunctionUtil.h"
#include "engine/functions/Functions.h"

#include <cmath>

namespace engine::functions {

namespace {

// Welford's running mean and sum of squared deviations (SQLite zero-fills the context).
struct Spread {
    long long n;
    double mean;
    double m2;
};

void spreadStep(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* s = static_cast<Spread*>(sqlite3_aggregate_context(ctx, sizeof(Spread)));
    if (!s || sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
    double x = sqlite3_value_double(argv[0]);
    ++s->n;
    double d = x - s->mean;
    s->mean += d / double(s->n);
    s->m2 += d * (x - s->mean);
}

// user data: bit 1 population, bit 2 square root
void spreadFinal(sqlite3_context* ctx)
{
    auto* s = static_cast<Spread*>(sqlite3_aggregate_context(ctx, 0));
    const auto kind = reinterpret_cast<quintptr>(sqlite3_user_data(ctx));
    const bool population = kind & 1, root = kind & 2;
    long long n = s ? s->n : 0;
    if (n == 0 || (!population && n == 1)) return sqlite3_result_null(ctx);
    double v = s->m2 / double(population ? n : n - 1);
    if (v < 0) v = 0;
    sqlite3_result_double(ctx, root ? std::sqrt(v) : v);
}

} // namespace

void registerStatAggregates(sqlite3* db)
{
    struct F { const char* name; quintptr kind; };
    const F fs[] = {{"tsql_var", 0}, {"tsql_varp", 1}, {"tsql_stdev", 2}, {"tsql_stdevp", 3}};
    for (const F& f : fs)
        sqlite3_create_function(db, f.name, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, reinterpret_cast<void*>(f.kind), nullptr, spreadStep,
                                spreadFinal);
}

} // namespace engine::functions
