#pragma once
// A number typed by the user, as the server reads numbers.

#include <QLocale>
#include <QString>

#include <optional>

namespace ado {

// The text in the server's form ("-1234.56", "1e5"): as it stands when it is already in that
// form (any script's digits), else read as `locale` writes numbers; nothing when it is neither.
std::optional<QString> NumberText(const QString& typed, const QLocale& locale = QLocale());

} // namespace ado
