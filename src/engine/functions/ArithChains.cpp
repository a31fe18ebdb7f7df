// tsql_chain(kind, steps, v1, v2, ...): a tree of arithmetic in one call, written in postfix order,
// instead of one nested call per operator, so that long and deep expressions stay within
// SQLite's parser limits. kind 8/16/32/64: integers of that many bits, each step checked for
// overflow (8115) and division by zero (8134); kind 1: floats; kind 0: exact decimals. steps: one token per
// step: "." takes the next value, "+", "-", "*", "/" or "%" applies to the two values on top, a
// decimal division followed by its scale ("/6"). "1 - (2 - 3)": steps ". . . - -".

#include "engine/Errors.h"
#include "engine/functions/FunctionUtil.h"
#include "engine/functions/Functions.h"
#include "engine/functions/ScaledDecimal.h"

#include <cmath>
#include <limits>
#include <optional>
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

// Each step is "." (push the next value) or an operator (apply it to the two values on top).
template <class T, class Apply>
void evaluate(sqlite3_context* ctx, const std::vector<Step>& steps, int argc, sqlite3_value** argv,
              bool (*read)(sqlite3_value*, T&), Apply apply, void (*result)(sqlite3_context*, const T&))
{
    std::vector<std::optional<T>> stack;
    int next = 0;
    for (const Step& st : steps) {
        if (st.op == '.') {
            if (next >= argc) return resultError(ctx, Errors::internal(QStringLiteral("arithmetic run without its value")));
            sqlite3_value* v = argv[next++];
            if (sqlite3_value_type(v) == SQLITE_NULL) {
                stack.emplace_back();
                continue;
            }
            T x;
            if (!read(v, x)) return resultError(ctx, Errors::convertError(QStringLiteral("varchar"), QStringLiteral("numeric")));
            stack.emplace_back(std::move(x));
            continue;
        }
        if (stack.size() < 2) return resultError(ctx, Errors::internal(QStringLiteral("arithmetic run out of step")));
        std::optional<T> b = std::move(stack.back());
        stack.pop_back();
        std::optional<T>& a = stack.back();
        if (!a || !b) {
            a.reset();
            continue;
        }
        std::optional<SqlError> e = apply(st, *a, *b);
        if (e) return resultError(ctx, *e);
    }
    if (stack.size() != 1 || next != argc) return resultError(ctx, Errors::internal(QStringLiteral("arithmetic run out of step")));
    if (!stack.back()) return sqlite3_result_null(ctx);
    result(ctx, *stack.back());
}

void integerChain(sqlite3_context* ctx, int bits, const std::vector<Step>& steps, int argc, sqlite3_value** argv)
{
    auto read = [](sqlite3_value* v, long long& x) {
        x = sqlite3_value_int64(v);
        return true;
    };
    auto apply = [bits](const Step& st, long long& acc, long long b) -> std::optional<SqlError> {
        long long r = 0;
        bool over = false;
        switch (st.op) {
        case '+': over = __builtin_add_overflow(acc, b, &r); break;
        case '-': over = __builtin_sub_overflow(acc, b, &r); break;
        case '*': over = __builtin_mul_overflow(acc, b, &r); break;
        case '/':
            if (b == 0) return Errors::divideByZero();
            if (b == -1) over = __builtin_sub_overflow(0LL, acc, &r);
            else r = acc / b;
            break;
        case '%':
            if (b == 0) return Errors::divideByZero();
            r = b == -1 ? 0 : acc % b;
            break;
        default: return Errors::internal(QStringLiteral("unknown arithmetic step"));
        }
        if (over || (st.op != '%' && !inRange(r, bits))) return intOverflow(bits);
        acc = r;
        return std::nullopt;
    };
    evaluate<long long>(ctx, steps, argc, argv, read, apply, [](sqlite3_context* c, const long long& v) { sqlite3_result_int64(c, v); });
}

void realChain(sqlite3_context* ctx, const std::vector<Step>& steps, int argc, sqlite3_value** argv)
{
    auto read = [](sqlite3_value* v, double& x) {
        x = sqlite3_value_double(v);
        return true;
    };
    auto apply = [](const Step& st, double& acc, double b) -> std::optional<SqlError> {
        switch (st.op) {
        case '+': acc += b; break;
        case '-': acc -= b; break;
        case '*': acc *= b; break;
        case '/':
            if (b == 0) return Errors::divideByZero();
            acc /= b;
            break;
        default: return Errors::internal(QStringLiteral("unknown arithmetic step"));
        }
        if (!std::isfinite(acc)) return Errors::overflow(QStringLiteral("float"));
        return std::nullopt;
    };
    evaluate<double>(ctx, steps, argc, argv, read, apply, [](sqlite3_context* c, const double& v) { sqlite3_result_double(c, v); });
}

struct Scaled {
    Int128 v = 0;
    int scale = 0;
};

void decimalChain(sqlite3_context* ctx, const std::vector<Step>& steps, int argc, sqlite3_value** argv)
{
    auto read = [](sqlite3_value* v, Scaled& x) { return toScaled(v, x.v, x.scale); };
    auto apply = [](const Step& st, Scaled& acc, const Scaled& b) -> std::optional<SqlError> {
        SqlError error(0, 0, QString());
        if (!scaledStep(st.op, acc.v, acc.scale, b.v, b.scale, st.scale, &error)) return error;
        return std::nullopt;
    };
    evaluate<Scaled>(ctx, steps, argc, argv, read, apply, [](sqlite3_context* c, const Scaled& v) {
        std::string t = scaledText(v.v, v.scale);
        sqlite3_result_text(c, t.data(), int(t.size()), SQLITE_TRANSIENT);
    });
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
