#pragma once
// The SQL Server system types: names, storage, limits and the declared type of a column.

#include <QString>

#include <optional>

namespace engine::types {

enum class Type {
    BigInt, Int, SmallInt, TinyInt, Bit,
    Decimal, Numeric, Money, SmallMoney, Float, Real,
    DateTime, SmallDateTime,
    Char, VarChar, Text, NChar, NVarChar, NText, SysName,
    Binary, VarBinary, Image, Timestamp,
    UniqueIdentifier, SqlVariant,
};

enum class Category { Integer, Exact, Approx, DateTime, String, Binary, Guid, Variant };

// Static facts about one system type.
struct TypeInfo {
    Type type;
    const char* name;
    int xtype;        // systypes.xtype
    int storage;      // bytes as stored when fixed (0 when the length is given)
    int precision;    // default precision (0 when none)
    int scale;
    int maxLength;    // largest length allowed in a declaration (0 when no length)
    int defaultLength;
    Category category;
    bool unicode;
    int order;        // data type precedence: higher wins in implicit conversions
};

const TypeInfo& info(Type t);
std::optional<Type> typeByName(const QString& name); // case-insensitive; "sysname" included
const TypeInfo* allTypes(int& count);

// A declared type: system type plus length/precision/scale, and the user type name if any.
struct TypeSpec {
    Type type = Type::Int;
    int length = 0;    // characters for char/varchar/nchar/nvarchar, bytes for binary types
    int precision = 0;
    int scale = 0;
    QString userType;  // name of a user-defined type, empty for a system type

    const TypeInfo& info() const { return types::info(type); }
    Category category() const { return info().category; }
    bool isString() const { return category() == Category::String; }
    bool isNumeric() const;
    bool hasLength() const;
    bool hasPrecision() const { return type == Type::Decimal || type == Type::Numeric; }
    int storageBytes() const; // length as stored, in bytes (syscolumns.length)
    QString name() const { return userType.isEmpty() ? QString::fromLatin1(info().name) : userType; }
    QString sqlText() const;  // "varchar(20)", "decimal(10,2)", "int"
    bool operator==(const TypeSpec& o) const {
        return type == o.type && length == o.length && precision == o.precision && scale == o.scale;
    }
};

// Spec with the type's defaults filled in (varchar -> varchar(1), decimal -> decimal(18,0)).
// Throws SqlError when length, precision or scale are out of the type's limits.
TypeSpec makeSpec(Type t, std::optional<int> length, std::optional<int> precision,
                  std::optional<int> scale, bool inConvert = false);

// The SQLite declared type for the physical column (affinity).
QString sqliteDecl(const TypeSpec& spec);

// Precedence: the type both operands convert to.
TypeSpec promote(const TypeSpec& a, const TypeSpec& b);

} // namespace engine::types
