// tsql_chain(kind, steps, v1, v2, ...): a left-to-right run of arithmetic, ((v1 op v2) op v3) ...,
// in one call instead of one nested call per operator, so that long expressions stay within
// SQLite's parser limits. kind 8/16/32/64: integers of that many bits, each step checked for
// overflow (8115) and division by zero (8134); kind 1: floats; kind 0: exact decimals. steps: one token per
// operator, "+", "-", "*", "/" or "%", a decimal division followed by its scale ("/6").

#include "engine/Errors.h"
#include "engine/functions/FunctionUtil.h"
#include "engine/functions/Functions.h"
#include "engine/functions/ScaledDecimal.h"

#include <limits>
#include <vector>

namespace engine::functions {

namespace {

struct Step {
    char op;
    int scale;
};

std::vector<Step> parseSteps(sqlite3_value* v)
{
    std::vector<Step> steps;
    const QStringList tokens = argText(v).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& t : tokens) steps.push_back({char(t[0].unicode()), t.size() > 1 ? t.mid(1).toInt() : 0});
    return steps;
}

SqlError intOverflow(int bits)
{
    return Errors::overflow(QLatin1String(bits == 8 ? "tinyint" : bits == 16 ? "smallint" : bits == 32 ? "int" : "bigint"));
}

bool inRange(long long v, int bits)
{
    switch (bits) {
    case 8: return v >= 0 && v <= 255;
    case 16: return v >= -32768 && v <= 32767;
    case 32: return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
    default: return true;
    }
}

void integerChain(sqlite3_context* ctx, int bits, const std::vector<Step>& steps, int argc, sqlite3_value** argv)
{
    bool isNull = sqlite3_value_type(argv[0]) == SQLITE_NULL;
    long long acc = isNull ? 0 : sqlite3_value_int64(argv[0]);
    for (int i = 1; i < argc; ++i) {
        if (isNull || sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            isNull = true;
            continue;
        }
        const long long b = sqlite3_value_int64(argv[i]);
        const char op = size_t(i - 1) < steps.size() ? steps[size_t(i - 1)].op : '+';
        long long r = 0;
        bool over = false;
        switch (op) {
        case '+': over = __builtin_add_overflow(acc, b, &r); break;
        case '-': over = __builtin_sub_overflow(acc, b, &r); break;
        case '*': over = __builtin_mul_overflow(acc, b, &r); break;
        case '/':
            if (b == 0) return resultError(ctx, Errors::divideByZero());
            if (b == -1) over = __builtin_sub_overflow(0LL, acc, &r);
            else r = acc / b;
            break;
        case '%':
            if (b == 0) return resultError(ctx, Errors::divideByZero());
            r = b == -1 ? 0 : acc % b;
            break;
        default: return resultError(ctx, Errors::internal(QStringLiteral("unknown arithmetic step")));
        }
        if (over || (op != '%' && !inRange(r, bits))) return resultError(ctx, intOverflow(bits));
        acc = r;
    }
    if (isNull) return sqlite3_result_null(ctx);
    sqlite3_result_int64(ctx, acc);
}

void realChain(sqlite3_context* ctx, const std::vector<Step>& steps, int argc, sqlite3_value** argv)
{
    bool isNull = false;
    double acc = 0;
    for (int i = 0; i < argc; ++i) {
        if (isNull || sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            isNull = true;
            continue;
        }
        const double b = sqlite3_value_double(argv[i]);
        if (i == 0) {
            acc = b;
            continue;
        }
        switch (size_t(i - 1) < steps.size() ? steps[size_t(i - 1)].op : '+') {
        case '+': acc += b; break;
        case '-': acc -= b; break;
        case '*': acc *= b; break;
        case '/':
            if (b == 0) return resultError(ctx, Errors::divideByZero());
            acc /= b;
            break;
        default: return resultError(ctx, Errors::internal(QStringLiteral("unknown arithmetic step")));
        }
    }
    if (isNull) return sqlite3_result_null(ctx);
    sqlite3_result_double(ctx, acc);
}

void decimalChain(sqlite3_context* ctx, const std::vector<Step>& steps, int argc, sqlite3_value** argv)
{
    bool isNull = false;
    Int128 acc = 0;
    int scale = 0;
    for (int i = 0; i < argc; ++i) {
        if (isNull || sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            isNull = true;
            continue;
        }
        Int128 b;
        int sb;
        if (!toScaled(argv[i], b, sb)) return resultError(ctx, Errors::convertError(QStringLiteral("varchar"), QStringLiteral("numeric")));
        if (i == 0) {
            acc = b;
            scale = sb;
            continue;
        }
        const Step st = size_t(i - 1) < steps.size() ? steps[size_t(i - 1)] : Step{'+', 0};
        SqlError error(0, 0, QString());
        if (!scaledStep(st.op, acc, scale, b, sb, st.scale, &error)) return resultError(ctx, error);
    }
    if (isNull) return sqlite3_result_null(ctx);
    std::string t = scaledText(acc, scale);
    sqlite3_result_text(ctx, t.data(), int(t.size()), SQLITE_TRANSIENT);
}

void chainFunc(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (argc < 3) return sqlite3_result_null(ctx);
    const int kind = sqlite3_value_int(argv[0]);
    // the steps are a constant of the statement: parsed once, kept beside it
    std::vector<Step> parsed;
    auto* cached = static_cast<const std::vector<Step>*>(sqlite3_get_auxdata(ctx, 1));
    if (!cached) {
        parsed = parseSteps(argv[1]);
        sqlite3_set_auxdata(ctx, 1, new std::vector<Step>(parsed), [](void* p) { delete static_cast<std::vector<Step>*>(p); });
    }
    const std::vector<Step>& steps = cached ? *cached : parsed;
    if (kind == 0) decimalChain(ctx, steps, argc - 2, argv + 2);
    else if (kind == 1) realChain(ctx, steps, argc - 2, argv + 2);
    else integerChain(ctx, kind, steps, argc - 2, argv + 2);
}

} // namespace

void registerArithChains(sqlite3* db)
{
    sqlite3_create_function(db, "tsql_chain", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, chainFunc, nullptr, nullptr);
}

} // namespace engine::functions
