// Reading a typed number in the server's form or in the user's locale.
#include "ado/NumberText.h"

#include <QRegularExpression>

namespace ado {

namespace {

bool serverForm(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    return number.match(text).hasMatch();
}

// Digits of any script as 0-9; the marks that keep a sign in its place in right-to-left text go.
QString plainDigits(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QChar(0x200E) || c == QChar(0x200F) || c == QChar(0x061C))
            continue;
        const int digit = c.digitValue();
        out += digit >= 0 && c.category() == QChar::Number_DecimalDigit ? QChar(u'0' + digit) : c;
    }
    return out;
}

} // namespace

std::optional<QString> NumberText(const QString& typed, const QLocale& locale) {
    const QString text = typed.trimmed();
    const QString plain = plainDigits(text);
    if (serverForm(plain))
        return plain;
    bool ok = false;
    locale.toDouble(text, &ok);
    if (!ok)
        return std::nullopt;
    // Valid in the locale: its signs and separators become the server's.
    QString out = plainDigits(text);
    out.replace(plainDigits(locale.negativeSign()), QStringLiteral("-"));
    out.replace(plainDigits(locale.positiveSign()), QStringLiteral("+"));
    out.remove(locale.groupSeparator());
    if (locale.groupSeparator().trimmed().isEmpty()) // a blank of any width groups the digits
        out.remove(QRegularExpression(QStringLiteral("\\s"),
                                      QRegularExpression::UseUnicodePropertiesOption));
    out.replace(locale.decimalPoint(), QStringLiteral("."));
    out.replace(locale.exponential(), QStringLiteral("e"), Qt::CaseInsensitive);
    if (!serverForm(out))
        return std::nullopt;
    return out;
}

} // namespace ado
