#pragma once
#include <QString>
#include <memory>

namespace dmo {

// A default object of a database (CREATE DEFAULT).
class Default {
public:
    Default(QString name, QString owner) : name_(std::move(name)), owner_(std::move(owner)) {}
    QString Name() const { return name_; }
    QString Owner() const { return owner_; }

private:
    QString name_;
    QString owner_;
};

using DefaultPtr = std::shared_ptr<Default>;

} // namespace dmo
