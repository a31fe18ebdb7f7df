#pragma once
// Manager of one report-style list (a QTreeWidget without tree decoration). Columns are
// addressed by field name (trimmed, case-insensitive); items by 1-based position, where 0
// means the selected (current) item. Each cell keeps the shown text and a value
// (ValueRole): a number column's number (a whole one, in a column without decimals, as a 64-bit
// integer to its last digit), a lookup column's key. The list itself stays open
// to the caller: items, their count and their check marks may be read and written directly.

#include "core/KeyTextList.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTreeWidget>
#include <QVariant>

class QTreeWidget;
class QTreeWidgetItem;

class CListViewManager : public QObject {
    Q_OBJECT
public:
    enum ColumnKind { ColText = 0, ColNumber = 1, ColLookup = 4 };
    enum ColumnAlign { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };
    enum Roles {
        ValueRole = Qt::UserRole + 1, // a cell's value beside its text
        TagRole,                      // the item's Tag (column 0)
        CheckRole,                    // last check state reported (column 0)
        BoldRole,                     // the current-item mark (column 0)
    };

    explicit CListViewManager(QObject* parent = nullptr);

    // Attaches the manager to the list and styles it; nullptr detaches.
    void setListView(QTreeWidget* list);
    QTreeWidget* ListView() const { return m_List; }

    void AppendColumns(const QString& ColumnCaption, int ColumnWidth, int ColumnAlign = 0,
                       int ColumnType = 0, int DecimalPlaces = 0, const QString& DefValuesList = {},
                       const QString& FieldName = {});
    void ClearColumns();

    void setAllowSorting(bool allow) { m_AllowSorting = allow; }
    bool AllowSorting() const { return m_AllowSorting; }
    void setMultiSelect(bool multi);
    bool MultiSelect() const { return m_MultiSelect; }
    // Check boxes on every row.
    void setCheckboxes(bool on);
    bool Checkboxes() const { return m_Checkboxes; }

    // Appends a blank item (0) or inserts one at ItemIndex; selects it; returns its position.
    int AddNewItem(int ItemIndex = 0);
    QVariant GetColumnValue(const QString& Field, int ItemIndex = 0) const;
    void SetColumnValue(const QString& Field, const QVariant& Value, int ItemIndex = 0);
    // First item from InicialIndex on whose field equals Value exactly; -1 when none.
    int FindItem(const QString& FieldName, const QVariant& Value, int InicialIndex = 1) const;
    // Selects min(ItemIndex, Count()), scrolls to it and moves the bold mark to it.
    void SetSelectedItem(int ItemIndex);
    // Removes every item whose Tag equals MarkChar.
    void RemoveMarkedItems(const QString& MarkChar = QStringLiteral("X"));
    // Sorts by the field's column: Order 0 ascending, 1 descending.
    void OrderByField(const QString& FieldName, int Order = 0);

    // Item access.
    int Count() const;
    QTreeWidgetItem* Item(int ItemIndex) const;     // nullptr when there is none
    int IndexOf(const QTreeWidgetItem* item) const; // 1-based; 0 when not in the list
    int SelectedIndex() const;                      // the current item; 0 when none
    QList<int> SelectedIndexes() const;             // every selected item, in list order
    bool Selected(int ItemIndex) const;
    void SetItemSelected(int ItemIndex, bool selected);
    QString Tag(int ItemIndex) const;
    void SetTag(int ItemIndex, const QString& tag);
    bool Checked(int ItemIndex) const;
    // Sets the check mark without raising ItemCheck.
    void SetChecked(int ItemIndex, bool checked);
    void SetSmallIcon(int ItemIndex, const QIcon& icon);
    void RemoveItem(int ItemIndex);
    void Clear();
    int BoldIndex() const; // the item carrying the bold mark; 0 when none

    // Columns.
    int ColumnCount() const { return int(m_Columns.size()); }
    int ColumnIndex(const QString& FieldName) const; // 0-based; -1 when unknown
    QString ColumnField(int column) const;
    int ColumnKindOf(int column) const;

signals:
    // The user clicked an item or moved to it with the keyboard.
    void ItemClick(int ItemIndex);
    // The user turned an item's check mark on or off.
    void ItemCheck(int ItemIndex, bool checked);
    // A column header was clicked (0-based column), sorted or not.
    void ColumnClick(int column);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Column {
        QString caption;
        QString field;
        int widthTwips = 0;
        int align = 0;
        int kind = ColText;
        int decimals = 0;
        QList<KeyText> lookup;
    };

    QTreeWidgetItem* resolve(int ItemIndex) const;
    void writeCell(QTreeWidgetItem* item, int column, const QVariant& value) const;
    QVariant readCell(const QTreeWidgetItem* item, int column) const;
    void prepareItem(QTreeWidgetItem* item) const;
    void sortColumn(int column, Qt::SortOrder order);
    void onHeaderClicked(int column);
    void onItemChanged(QTreeWidgetItem* item, int column);
    Qt::Alignment alignmentOf(int column) const;

    QPointer<QTreeWidget> m_List;
    const QObject* m_ListObject = nullptr;     // the list, for comparisons only
    const QObject* m_ViewportObject = nullptr; // its viewport, likewise
    QList<Column> m_Columns;
    bool m_AllowSorting = true;
    bool m_MultiSelect = false;
    bool m_Checkboxes = false;
    bool m_KeyMove = false;
    int m_SortColumn = -1;
    Qt::SortOrder m_SortOrder = Qt::AscendingOrder;
    QList<QMetaObject::Connection> m_Connections;
};
