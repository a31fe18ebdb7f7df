#include "designer/ColumnRecord.h"

#include "designer/M_MainMod.h"

#include "controls/CListViewManager.h"

#include <QTreeWidget>

namespace {

// clang-format off
const std::array<ColumnRecordField, 32> kFields{{
    // field                      caption         width  kind align lookup
    {"Name",                     2, nullptr,       3500, 0, 0, ""},
    {"DataType",                 3, nullptr,       1590, 0, 0, ""},
    {"Length",                   4, nullptr,       1200, 1, 1, ""},
    {"Precision",                5, nullptr,       1000, 1, 1, ""},
    {"Scale",                    6, nullptr,       1000, 1, 1, ""},
    {"AllowNulls",               7, nullptr,       1215, 4, 0, "1:Sim;2:Não;"},
    {"UpdatedDescription",       0, nullptr,       0,    0, 0, ""},
    {"UpdatedIdentity",          0, nullptr,       0,    1, 0, ""},
    {"UpdatedSeed",              0, nullptr,       0,    1, 0, ""},
    {"UpdatedIncrement",         0, nullptr,       0,    1, 0, ""},
    {"UpdatedUniqueIdentifier",  0, nullptr,       0,    1, 0, ""},
    {"UpdatedFormula",           0, nullptr,       0,    0, 0, ""},
    {"UpdatedCollation",         0, nullptr,       0,    0, 0, ""},
    {"UpdatedDefault",           0, nullptr,       0,    0, 0, ""},
    {"NewColumn",                0, nullptr,       0,    1, 1, ""},
    {"OriginalName",             0, nullptr,       0,    0, 0, ""},
    {"OriginalDataType",         0, nullptr,       0,    0, 0, ""},
    {"OriginalLength",           0, nullptr,       0,    1, 0, ""},
    {"OriginalAllowNulls",       0, nullptr,       0,    4, 0, ""},
    {"OriginalDescription",      0, nullptr,       0,    0, 0, ""},
    {"OriginalPrecision",        0, nullptr,       0,    1, 0, ""},
    {"OriginalScale",            0, nullptr,       0,    1, 0, ""},
    {"OriginalIdentity",         0, nullptr,       0,    1, 0, ""},
    {"OriginalSeed",             0, nullptr,       0,    1, 0, ""},
    {"OriginalIncrement",        0, nullptr,       0,    1, 0, ""},
    {"OriginalUniqueIdentifier", 0, nullptr,       0,    1, 0, ""},
    {"OriginalFormula",          0, nullptr,       0,    0, 0, ""},
    {"OriginalCollation",        0, nullptr,       0,    0, 0, ""},
    {"OriginalDefault",          0, nullptr,       0,    0, 0, ""},
    {"HasBindedIndex",           0, nullptr,       0,    1, 1, ""},
    {"PrimaryKey",               0, "Pk",          0,    0, 0, ""},
    {"OriginalIndex",            0, nullptr,       1,    1, 1, ""},
}};
// clang-format on

} // namespace

const std::array<ColumnRecordField, 32>& ColumnRecordFields() {
    return kFields;
}

void AppendColumnRecord(CListViewManager& Structure, const QWidget* Form) {
    for (const ColumnRecordField& f : kFields) {
        QString caption;
        if (f.CaptionIndex > 0)
            caption = M_MainMod::SetStructCaptions(Form, f.CaptionIndex);
        else if (f.Caption)
            caption = QString::fromUtf8(f.Caption);
        else
            caption = QString::fromLatin1(f.FieldName);
        Structure.AppendColumns(caption, f.Width, f.Align, f.Type, 0,
                                QString::fromUtf8(f.LookupList), QString::fromLatin1(f.FieldName));
    }
}
