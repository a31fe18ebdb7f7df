#include "core/VarnoltError.h"

VarnoltError::VarnoltError(int number, const QString& description)
    : std::runtime_error(description.toStdString()), number_(number), description_(description) {}

VarnoltError VarnoltError::invalidProcedureCall() {
    return {InvalidProcedureCall, QStringLiteral("Invalid procedure call or argument")};
}

VarnoltError VarnoltError::overflow() {
    return {Overflow, QStringLiteral("Overflow")};
}

VarnoltError VarnoltError::subscriptOutOfRange() {
    return {SubscriptOutOfRange, QStringLiteral("Subscript out of range")};
}

VarnoltError VarnoltError::duplicateKey() {
    return {DuplicateKey,
            QStringLiteral("This key is already associated with an element of this collection")};
}
