#pragma once
#include <QString>
#include <QStringList>
#include <memory>

namespace dmo {

// A list of names (key columns, collations): 1-based Item, Add, Count.
class Names {
public:
    Names() = default;
    explicit Names(QStringList names) : names_(std::move(names)) {}
    int Count() const { return int(names_.size()); }
    QString Item(int index) const; // 1-based
    void Add(const QString& name) { names_ << name; }
    void Remove(int index);
    int FindName(const QString& name) const; // 1-based position, 0 when absent (any case)
    const QStringList& list() const { return names_; }

private:
    QStringList names_;
};

using NameList = Names;
using NamesPtr = std::shared_ptr<Names>;

// A member of an object list: a name and, for a user type, its base type.
class ListMember {
public:
    ListMember(QString name, QString baseType = {})
        : name_(std::move(name)), baseType_(std::move(baseType)) {}
    QString Name() const { return name_; }
    QString BaseType() const { return baseType_; }

private:
    QString name_;
    QString baseType_;
};

using FileGroup = ListMember;
using SystemDatatype = ListMember;
using UserDefinedDatatype = ListMember;

// FileGroups, SystemDatatypes, UserDefinedDatatypes: 1-based Item by position or name.
class SQLObjectList {
public:
    SQLObjectList() = default;
    void append(ListMember m) { items_.push_back(std::make_shared<ListMember>(std::move(m))); }
    int Count() const { return int(items_.size()); }
    std::shared_ptr<ListMember> Item(int index) const;
    std::shared_ptr<ListMember> Item(const QString& name) const;

private:
    std::vector<std::shared_ptr<ListMember>> items_;
};

using SQLObjectListPtr = std::shared_ptr<SQLObjectList>;

} // namespace dmo
