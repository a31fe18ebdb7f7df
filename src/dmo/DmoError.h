#pragma once
#include <QString>

#include <exception>
#include <string>

namespace engine {
class SqlError;
}

namespace dmo {

// A refused management-object operation: the server's error number and description.
class DmoError : public std::exception {
public:
    DmoError(int number, QString description);
    explicit DmoError(const engine::SqlError& error);
    int Number() const { return number_; }
    const QString& Description() const { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    int number_;
    QString description_;
    std::string what_;
};

// Errors raised by the objects themselves (not by the server).
namespace Errors {
inline constexpr int NotConnected = 50001;
inline constexpr int NotFound = 50002;
inline constexpr int OutOfRange = 50003;
inline constexpr int NotAttached = 50004;
inline constexpr int InvalidOperation = 50005;
} // namespace Errors

} // namespace dmo
