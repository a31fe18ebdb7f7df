#pragma once
// Per data type: which column properties the designer lets the user set, and the length,
// precision and scale a newly typed column starts with.

#include <QString>
#include <QStringList>

namespace dmo {
class Database;
}

class QCheckBox;
class QLineEdit;
class QWidget;

// The nine rules, in their fixed order.
struct DataTypeRules {
    bool UseLength = false;
    bool UseNulls = false;
    bool UseDefault = false;
    bool UseFormula = false;
    bool UseCollation = false;
    bool UsePrecision = false;
    bool UseScale = false;
    bool UseIdentity = false;
    bool UseRowGuid = false;

    bool operator==(const DataTypeRules&) const = default;
};

// The column editor's controls that the rules touch. Any of them may be null (then that step
// is skipped for it). Those typed QWidget are only enabled or disabled.
struct DataTypeRuleControls {
    QLineEdit* txtLength = nullptr;
    QWidget* chkAllowNulls = nullptr;
    QWidget* cboDefault = nullptr;
    QWidget* txtFormula = nullptr;
    QWidget* txtCollation = nullptr;
    QLineEdit* txtPrecision = nullptr;
    QLineEdit* txtScale = nullptr;
    QCheckBox* chkIdentity = nullptr;
    QWidget* chkUniqueIdentifier = nullptr;
    QLineEdit* txtSeed = nullptr;
    QLineEdit* txtIncrement = nullptr;
    // The type is still being typed: chkIdentity is enabled or disabled, but keeps its value,
    // and seed and increment keep theirs.
    bool KeepIdentity = false;
};

// Rules of TypeName (compared in lower case, untrimmed; a name outside the table, such as a
// user type shown as "name (base)", gets nulls, default and formula only).
//  - RulesOnly True (query mode): only answers; still unchecks chkIdentity for a type
//    without identity (the editor's identity is kept while a type is being typed, see
//    KeepIdentity).
//  - RulesOnly False (editor mode): when TypeName is the bare name of one of UserTypeNames
//    (case-insensitive) returns all False at once and touches nothing; otherwise also
//    writes the type's default texts into the length, precision and scale boxes when
//    SetDefaults is True, enables the nine controls from the rules, and when identity is
//    allowed but the scale box holds a number other than 0, disables chkIdentity, unchecks
//    it and sets seed and increment to "0".
// Setting a control from here runs its own change handlers, as user input does.
DataTypeRules GetDataTypeRules(const QString& TypeName, bool SetDefaults, bool RulesOnly,
                               const QStringList& UserTypeNames,
                               const DataTypeRuleControls& Controls);

// The same, with the user types read from the database (only in editor mode); a database
// whose user types cannot be read, or none, counts as having none.
DataTypeRules GetDataTypeRules(const QString& TypeName, bool SetDefaults, bool RulesOnly,
                               dmo::Database* mDatabase, const DataTypeRuleControls& Controls);
