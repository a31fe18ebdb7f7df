#include "designer/DataTypeRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// The column editor's controls, as plain widgets.
struct Editor {
    QWidget frame;
    QLineEdit* txtLength = new QLineEdit(&frame);
    QCheckBox* chkAllowNulls = new QCheckBox(&frame);
    QComboBox* cboDefault = new QComboBox(&frame);
    QLineEdit* txtFormula = new QLineEdit(&frame);
    QLineEdit* txtCollation = new QLineEdit(&frame);
    QLineEdit* txtPrecision = new QLineEdit(&frame);
    QLineEdit* txtScale = new QLineEdit(&frame);
    QCheckBox* chkIdentity = new QCheckBox(&frame);
    QCheckBox* chkUniqueIdentifier = new QCheckBox(&frame);
    QLineEdit* txtSeed = new QLineEdit(&frame);
    QLineEdit* txtIncrement = new QLineEdit(&frame);

    DataTypeRuleControls controls() {
        return {txtLength,           chkAllowNulls, cboDefault,  txtFormula,
                txtCollation,        txtPrecision,  txtScale,    chkIdentity,
                chkUniqueIdentifier, txtSeed,       txtIncrement};
    }
    // Enabled state of the nine controls, in rule order.
    DataTypeRules enabled() const {
        return {
            txtLength->isEnabled(),  chkAllowNulls->isEnabled(), cboDefault->isEnabled(),
            txtFormula->isEnabled(), txtCollation->isEnabled(),  txtPrecision->isEnabled(),
            txtScale->isEnabled(),   chkIdentity->isEnabled(),   chkUniqueIdentifier->isEnabled()};
    }
    DataTypeRules rules(const QString& type, bool setDefaults, bool rulesOnly,
                        const QStringList& userTypes = {}) {
        return GetDataTypeRules(type, setDefaults, rulesOnly, userTypes, controls());
    }
};

// Rules with nulls, default and formula, plus the named extras.
DataTypeRules base() {
    DataTypeRules r;
    r.UseNulls = r.UseDefault = r.UseFormula = true;
    return r;
}

} // namespace

TEST(GetDataTypeRules, QueryModeAnswersTheTableAndLeavesBoxesAlone) {
    Editor ed;
    ed.txtLength->setText("99");

    DataTypeRules varchar = base();
    varchar.UseLength = varchar.UseCollation = true;
    EXPECT_EQ(ed.rules("VarChar", false, true), varchar);

    DataTypeRules decimal = base();
    decimal.UsePrecision = decimal.UseScale = decimal.UseIdentity = true;
    EXPECT_EQ(ed.rules("decimal", false, true), decimal);

    DataTypeRules guid = base();
    guid.UseRowGuid = true;
    EXPECT_EQ(ed.rules("uniqueidentifier", false, true), guid);

    DataTypeRules timestamp = base();
    timestamp.UseDefault = false;
    EXPECT_EQ(ed.rules("timestamp", false, true), timestamp);

    // Untrimmed text, user types as listed and unknown names get the base rules.
    EXPECT_EQ(ed.rules(" int", false, true), base());
    EXPECT_EQ(ed.rules("phone (varchar)", false, true), base());
    EXPECT_EQ(ed.rules("sysname", false, true), base());
    // Query mode never looks at the user types.
    EXPECT_EQ(ed.rules("phone", false, true, {"phone"}), base());

    EXPECT_EQ(ed.txtLength->text(), "99");
    EXPECT_TRUE(ed.enabled() ==
                (DataTypeRules{true, true, true, true, true, true, true, true, true}));
}

TEST(GetDataTypeRules, QueryModeStillClearsTheEditorsIdentityBox) {
    Editor ed;
    ed.chkIdentity->setChecked(true);
    QSignalSpy clicked(ed.chkIdentity, &QCheckBox::stateChanged);
    ed.rules("datetime", false, true);
    EXPECT_FALSE(ed.chkIdentity->isChecked());
    EXPECT_EQ(clicked.count(), 1);

    ed.chkIdentity->setChecked(true);
    ed.rules("int", false, true);
    EXPECT_TRUE(ed.chkIdentity->isChecked());
}

TEST(GetDataTypeRules, EditorModeEnablesControlsAndWritesDefaults) {
    Editor ed;
    ed.txtLength->setText("7");
    ed.txtPrecision->setText("7");
    ed.txtScale->setText("7");

    DataTypeRules nvarchar = base();
    nvarchar.UseLength = nvarchar.UseCollation = true;
    EXPECT_EQ(ed.rules("NVARCHAR", true, false), nvarchar);
    EXPECT_EQ(ed.enabled(), nvarchar);
    EXPECT_EQ(ed.txtLength->text(), "50");
    EXPECT_EQ(ed.txtPrecision->text(), "7");
    EXPECT_EQ(ed.txtScale->text(), "7");

    ed.rules("money", true, false);
    EXPECT_EQ(ed.txtLength->text(), "8");
    EXPECT_EQ(ed.txtPrecision->text(), "19");
    EXPECT_EQ(ed.txtScale->text(), "4");

    ed.rules("decimal", true, false);
    EXPECT_EQ(ed.txtLength->text(), "8");
    EXPECT_EQ(ed.txtPrecision->text(), "18");
    EXPECT_EQ(ed.txtScale->text(), "0");
    EXPECT_TRUE(ed.chkIdentity->isEnabled());

    // sql_variant writes nothing at all.
    ed.rules("sql_variant", true, false);
    EXPECT_EQ(ed.txtLength->text(), "8");
    EXPECT_EQ(ed.txtPrecision->text(), "18");
    EXPECT_EQ(ed.txtScale->text(), "0");

    // timestamp: only nulls and formula stay enabled.
    ed.rules("timestamp", true, false);
    EXPECT_EQ(ed.txtLength->text(), "8");
    DataTypeRules onlyNullsFormula;
    onlyNullsFormula.UseNulls = onlyNullsFormula.UseFormula = true;
    EXPECT_EQ(ed.enabled(), onlyNullsFormula);

    // Without defaults the boxes keep the values of the column.
    ed.txtLength->setText("33");
    ed.rules("varchar", false, false);
    EXPECT_EQ(ed.txtLength->text(), "33");
}

TEST(GetDataTypeRules, EditorModeLeavesEverythingAloneForABareUserTypeName) {
    Editor ed;
    ed.txtLength->setEnabled(false);
    ed.chkIdentity->setChecked(true);
    ed.txtLength->setText("12");
    EXPECT_EQ(ed.rules("Phone", true, false, {"phone"}), DataTypeRules());
    EXPECT_FALSE(ed.txtLength->isEnabled());
    EXPECT_TRUE(ed.chkIdentity->isChecked());
    EXPECT_EQ(ed.txtLength->text(), "12");

    // The list's entry for the user type is another name: base rules, boxes disabled.
    EXPECT_EQ(ed.rules("phone (varchar)", true, false, {"phone"}), base());
    EXPECT_EQ(ed.enabled(), base());
    EXPECT_FALSE(ed.chkIdentity->isChecked());
    EXPECT_EQ(ed.txtLength->text(), "12");
}

TEST(GetDataTypeRules, ScaleOtherThanZeroRulesOutIdentity) {
    // An existing decimal(9,2) column turned into smallint keeps its scale of 2.
    Editor ed;
    ed.txtScale->setText("2");
    ed.chkIdentity->setChecked(true);
    ed.txtSeed->setText("1");
    ed.txtIncrement->setText("1");
    DataTypeRules r = ed.rules("smallint", false, false);
    EXPECT_TRUE(r.UseIdentity);
    EXPECT_FALSE(ed.txtScale->isEnabled());
    EXPECT_EQ(ed.txtScale->text(), "2");
    EXPECT_FALSE(ed.chkIdentity->isEnabled());
    EXPECT_FALSE(ed.chkIdentity->isChecked());
    EXPECT_EQ(ed.txtSeed->text(), "0");
    EXPECT_EQ(ed.txtIncrement->text(), "0");

    // With defaults the length and precision change, the scale box still holds 2.
    Editor fresh;
    fresh.txtScale->setText("2");
    fresh.rules("smallint", true, false);
    EXPECT_EQ(fresh.txtLength->text(), "2");
    EXPECT_EQ(fresh.txtPrecision->text(), "5");
    EXPECT_EQ(fresh.txtScale->text(), "2");
    EXPECT_FALSE(fresh.chkIdentity->isEnabled());

    // A scale of 0, empty or not a number leaves identity available.
    for (const char* scale : {"0", "", "abc", " 0x"}) {
        Editor other;
        other.txtScale->setText(scale);
        other.txtSeed->setText("1");
        other.rules("int", false, false);
        EXPECT_TRUE(other.chkIdentity->isEnabled()) << scale;
        EXPECT_EQ(other.txtSeed->text(), "1") << scale;
    }
    // Query mode never disables it.
    Editor query;
    query.txtScale->setText("2");
    query.rules("int", false, true);
    EXPECT_TRUE(query.chkIdentity->isEnabled());
}
