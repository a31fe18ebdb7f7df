#pragma once
#include <QString>

#include <exception>
#include <string>

namespace ado {

// A failed ADO operation: the server's error number and description (never a password).
class AdoError : public std::exception {
public:
    AdoError(int number, QString description)
        : number_(number), description_(std::move(description)),
          what_(description_.toStdString()) {}
    int Number() const { return number_; }
    const QString& Description() const { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    int number_;
    QString description_;
    std::string what_;
};

// Errors raised by the layer itself.
inline constexpr int ErrBadConnectionString = 50101;
inline constexpr int ErrNotOpen = 50102;
inline constexpr int ErrReadOnly = 50103;
inline constexpr int ErrRowNotFound = 50104;
inline constexpr int ErrNotANumber = 50105;

} // namespace ado
