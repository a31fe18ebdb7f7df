#pragma once
// The designer's column record: one item of the column list per table column, its fields
// being list-manager columns addressed by field name. Visible and Updated fields hold the
// column as edited, the Original twins the column as loaded.

#include <QString>

#include <array>

class CListViewManager;
class QWidget;

// Definition of one field of the record, in list column order.
struct ColumnRecordField {
    const char* FieldName;
    int CaptionIndex;    // header caption number of SetStructCaptions; 0 when the field has none
    const char* Caption; // fixed caption of a field without a caption number
    int Width;           // twips; 0 hides the column
    int Type;            // list-manager kind: 0 text, 1 number, 4 key/text lookup
    int Align;           // 0 left, 1 right
    const char* LookupList;
};

// The 32 fields, in order.
const std::array<ColumnRecordField, 32>& ColumnRecordFields();

// Appends the record's 32 fields to the manager's list, as the designer's Load does; header
// captions come from SetStructCaptions of Form (the designer window, help context 10000).
void AppendColumnRecord(CListViewManager& Structure, const QWidget* Form);
