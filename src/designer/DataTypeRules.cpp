#include "designer/DataTypeRules.h"

#include "dmo/Database.h"

#include <QCheckBox>
#include <QLineEdit>

#include <array>
#include <exception>

namespace {

// One row of the rule table. Nulls and formula apply to every type; a null default text
// means the box keeps its text.
struct RuleRow {
    const char* name;
    bool useLength;
    bool useCollation;
    bool usePrecision;
    bool useScale;
    bool useIdentity;
    bool useRowGuid;
    bool useDefault;
    const char* length;
    const char* precision;
    const char* scale;
};

// clang-format off
constexpr std::array<RuleRow, 25> kRules{{
    // name               len    coll   prec   scale  ident  guid   deflt  length  prec   scale
    {"bigint",           false, false, false, false, true,  false, true,  "8",    nullptr, nullptr},
    {"binary",           true,  false, false, false, false, false, true,  "50",   nullptr, nullptr},
    {"bit",              false, false, false, false, false, false, true,  "1",    nullptr, nullptr},
    {"char",             true,  true,  false, false, false, false, true,  "10",   nullptr, nullptr},
    {"datetime",         false, false, false, false, false, false, true,  "8",    nullptr, nullptr},
    {"decimal",          false, false, true,  true,  true,  false, true,  nullptr, "18",   "0"},
    {"float",            false, false, false, false, false, false, true,  "8",    nullptr, nullptr},
    {"image",            false, false, false, false, false, false, true,  "16",   nullptr, nullptr},
    {"int",              false, false, false, false, true,  false, true,  "4",    "10",    nullptr},
    {"money",            false, false, false, false, false, false, true,  "8",    "19",    "4"},
    {"nchar",            true,  true,  false, false, false, false, true,  "10",   nullptr, nullptr},
    {"ntext",            false, true,  false, false, false, false, true,  "16",   nullptr, nullptr},
    {"numeric",          false, false, true,  true,  true,  false, true,  nullptr, "18",   "0"},
    {"nvarchar",         true,  true,  false, false, false, false, true,  "50",   nullptr, nullptr},
    {"real",             false, false, false, false, false, false, true,  "4",    "24",    nullptr},
    {"smalldatetime",    false, false, false, false, false, false, true,  "4",    nullptr, nullptr},
    {"smallint",         false, false, false, false, true,  false, true,  "2",    "5",     nullptr},
    {"smallmoney",       false, false, false, false, false, false, true,  "4",    nullptr, "4"},
    {"sql_variant",      false, false, false, false, false, false, true,  nullptr, nullptr, nullptr},
    {"text",             false, true,  false, false, false, false, true,  "16",   nullptr, nullptr},
    {"timestamp",        false, false, false, false, false, false, false, "8",    nullptr, nullptr},
    {"tinyint",          false, false, false, false, true,  false, true,  "1",    "3",     nullptr},
    {"uniqueidentifier", false, false, false, false, false, true,  true,  "16",   nullptr, nullptr},
    {"varbinary",        true,  false, false, false, false, false, true,  "50",   nullptr, nullptr},
    {"varchar",          true,  true,  false, false, false, false, true,  "50",   nullptr, nullptr},
}};
// clang-format on

const RuleRow* findRule(const QString& lowerName) {
    for (const RuleRow& row : kRules) {
        if (lowerName == QLatin1String(row.name))
            return &row;
    }
    return nullptr;
}

// The number at the start of a text, as a leading-number conversion reads it: leading blanks
// skipped, an optional sign, digits and one decimal point; 0 when there is none.
double leadingNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        ++i;
    bool point = false;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            ++i;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
            ++i;
        } else {
            break;
        }
    }
    bool ok = false;
    const double v = text.mid(start, i - start).toDouble(&ok);
    return ok ? v : 0.0;
}

void setTextIf(QLineEdit* box, const char* text) {
    if (box && text)
        box->setText(QString::fromLatin1(text));
}

void setEnabledIf(QWidget* w, bool enabled) {
    if (w)
        w->setEnabled(enabled);
}

} // namespace

DataTypeRules GetDataTypeRules(const QString& TypeName, bool SetDefaults, bool RulesOnly,
                               const QStringList& UserTypeNames,
                               const DataTypeRuleControls& Controls) {
    const QString name = TypeName.toLower();

    // While the user types a user type's bare name the editor is left alone.
    if (!RulesOnly) {
        for (const QString& userType : UserTypeNames) {
            if (userType.toLower() == name)
                return {};
        }
    }

    DataTypeRules rules;
    rules.UseNulls = true;
    rules.UseDefault = true;
    rules.UseFormula = true;

    if (const RuleRow* row = findRule(name)) {
        rules.UseLength = row->useLength;
        rules.UseCollation = row->useCollation;
        rules.UsePrecision = row->usePrecision;
        rules.UseScale = row->useScale;
        rules.UseIdentity = row->useIdentity;
        rules.UseRowGuid = row->useRowGuid;
        rules.UseDefault = row->useDefault;
        if (SetDefaults) {
            setTextIf(Controls.txtLength, row->length);
            setTextIf(Controls.txtPrecision, row->precision);
            setTextIf(Controls.txtScale, row->scale);
        }
    }

    if (!rules.UseIdentity && Controls.chkIdentity && !Controls.KeepIdentity)
        Controls.chkIdentity->setCheckState(Qt::Unchecked);

    if (RulesOnly)
        return rules;

    setEnabledIf(Controls.txtLength, rules.UseLength);
    setEnabledIf(Controls.chkAllowNulls, rules.UseNulls);
    setEnabledIf(Controls.cboDefault, rules.UseDefault);
    setEnabledIf(Controls.txtFormula, rules.UseFormula);
    setEnabledIf(Controls.txtCollation, rules.UseCollation);
    setEnabledIf(Controls.txtPrecision, rules.UsePrecision);
    setEnabledIf(Controls.txtScale, rules.UseScale);
    setEnabledIf(Controls.chkIdentity, rules.UseIdentity);
    setEnabledIf(Controls.chkUniqueIdentifier, rules.UseRowGuid);

    // Identity needs a whole-number type: a scale other than 0 rules it out.
    if (rules.UseIdentity && Controls.txtScale && leadingNumber(Controls.txtScale->text()) != 0) {
        if (Controls.chkIdentity)
            Controls.chkIdentity->setEnabled(false);
        if (!Controls.KeepIdentity) {
            if (Controls.chkIdentity)
                Controls.chkIdentity->setCheckState(Qt::Unchecked);
            if (Controls.txtSeed)
                Controls.txtSeed->setText(QStringLiteral("0"));
            if (Controls.txtIncrement)
                Controls.txtIncrement->setText(QStringLiteral("0"));
        }
    }
    return rules;
}

DataTypeRules GetDataTypeRules(const QString& TypeName, bool SetDefaults, bool RulesOnly,
                               dmo::Database* mDatabase, const DataTypeRuleControls& Controls) {
    QStringList userTypes;
    if (!RulesOnly && mDatabase) {
        try {
            const dmo::SQLObjectListPtr list = mDatabase->UserDefinedDatatypes();
            for (int i = 1; i <= list->Count(); ++i)
                userTypes << list->Item(i)->Name();
        } catch (const std::exception&) {
            // No user type can match then.
        }
    }
    return GetDataTypeRules(TypeName, SetDefaults, RulesOnly, userTypes, Controls);
}
