#include "dmo/DmoError.h"

#include "engine/Engine.h"

namespace dmo {

DmoError::DmoError(int number, QString description)
    : number_(number), description_(std::move(description)) {
    what_ = QStringLiteral("%1 - %2").arg(QString::number(number_), description_).toStdString();
}

DmoError::DmoError(const engine::SqlError& error)
    : DmoError(error.number(), error.message().text) {}

} // namespace dmo
