#pragma once
#include <QString>
#include <memory>

namespace dmo {

class Table;
class DRIDefault;

// A column. A new Column (std::make_shared) is unattached until Columns::Add.
class Column : public std::enable_shared_from_this<Column> {
public:
    Column() = default;

    QString Name() const { return name_; }
    // Enclosing brackets are not part of the name; on an attached column this renames it.
    void SetName(const QString& name);
    // The type name; for a column of a user type, the user type's name.
    QString Datatype() const { return datatype_; }
    void SetDatatype(const QString& type);
    // Characters for char/varchar/nchar/nvarchar, bytes otherwise.
    int Length() const { return length_; }
    void SetLength(int length);
    int NumericPrecision() const { return precision_; }
    void SetNumericPrecision(int precision);
    int NumericScale() const { return scale_; }
    void SetNumericScale(int scale);
    bool AllowNulls() const { return allowNulls_; }
    void SetAllowNulls(bool allow);
    bool Identity() const { return identity_; }
    void SetIdentity(bool identity);
    long long IdentitySeed() const { return seed_; }
    void SetIdentitySeed(long long seed);
    long long IdentityIncrement() const { return increment_; }
    void SetIdentityIncrement(long long increment);
    bool IsRowGuidCol() const { return rowGuid_; }
    // On an attached column: adds or drops the ROWGUIDCOL mark on the server.
    void SetIsRowGuidCol(bool rowGuid);
    bool IsComputed() const { return computed_; }
    void SetIsComputed(bool computed);
    QString ComputedText() const { return computedText_; }
    void SetComputedText(const QString& text);
    QString Collation() const { return collation_; }
    void SetCollation(const QString& collation);
    int ID() const { return id_; }
    // The name of the bound default object; empty when none.
    QString Default() const { return default_; }
    // Binds the named default object; the empty text unbinds.
    void SetDefault(const QString& name);
    // The column's own default constraint.
    std::shared_ptr<dmo::DRIDefault> DRIDefault();
    void BindDefault(const QString& owner, const QString& name, bool bind);
    // Changes the type on the server; -1 for a size not given. Nulls are kept as they are.
    void AlterDataType(const QString& type, int length, int precision, int scale);

    // Internal.
    bool attached() const;
    std::shared_ptr<Table> table() const { return table_.lock(); }
    void setTable(const std::shared_ptr<Table>& table, bool attached);
    // Column definition for CREATE TABLE / ALTER TABLE ADD.
    QString definition();
    // Statements to run after the column exists (default binding).
    QString afterCreateScript();
    // Loading from the catalog.
    struct Facts {
        QString name, datatype, collation, defaultName;
        int id = 0, length = 0, precision = 0, scale = 0;
        bool allowNulls = true, identity = false, rowGuid = false, computed = false;
        long long seed = 0, increment = 0;
        QString computedText, driName, driText;
    };
    void load(const Facts& f);
    QString columnPath() const; // [owner].[table].[column]
    // Reads the name and text of the column's default constraint from the server.
    void reloadDefaultConstraint();

private:
    void requireUnattached(const char* property) const;
    void requireAttachedTable() const;
    QString name_, datatype_, collation_, computedText_, default_, defaultOwner_;
    int id_ = 0, length_ = 0, precision_ = 0, scale_ = 0;
    bool allowNulls_ = false, identity_ = false, rowGuid_ = false, computed_ = false;
    long long seed_ = 1, increment_ = 1;
    bool attached_ = false;
    std::weak_ptr<Table> table_;
    std::shared_ptr<dmo::DRIDefault> dri_;
};

using Column2 = Column;
using ColumnPtr = std::shared_ptr<Column>;

} // namespace dmo
