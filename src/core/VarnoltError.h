#pragma once
// The program's own runtime error: a number and a description, as the collections and
// helpers raise them (9 subscript out of range, 5 invalid call, 6 overflow, 457 duplicate key).

#include <QString>

#include <stdexcept>

class VarnoltError : public std::runtime_error {
public:
    enum Number {
        InvalidProcedureCall = 5,
        Overflow = 6,
        SubscriptOutOfRange = 9,
        DuplicateKey = 457,
    };

    VarnoltError(int number, const QString& description);

    int number() const { return number_; }
    const QString& description() const { return description_; }

    static VarnoltError invalidProcedureCall();
    static VarnoltError overflow();
    static VarnoltError subscriptOutOfRange();
    static VarnoltError duplicateKey();

private:
    int number_;
    QString description_;
};
