#pragma once
#include <QString>
#include <memory>

namespace dmo {

class Column;

// A column's own default constraint.
class DRIDefault {
public:
    explicit DRIDefault(std::weak_ptr<Column> column) : column_(std::move(column)) {}
    QString Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }
    // The expression as the server shows it ("(0)"); empty when the column has none.
    QString Text() const { return text_; }
    // On an attached column: replaces the constraint on the server (keeping its name); on a
    // column without one, creates it under Name when a name was set.
    void SetText(const QString& text);
    // Drops the constraint; nothing happens when the column has none.
    void Remove();

    // Internal.
    void load(const QString& name, const QString& text) {
        name_ = name;
        text_ = text;
    }

private:
    std::weak_ptr<Column> column_;
    QString name_;
    QString text_;
};

} // namespace dmo
