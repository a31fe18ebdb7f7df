#pragma once
// The query window's result grid: a read-only table view over the texts of one result,
// held row by row in one container and replaced whole by each fill.

#include <QAbstractTableModel>
#include <QString>
#include <QTableView>

#include <vector>

// The cells, the header texts and each column's alignment of one result.
class QueryGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Everything a fill sets, swapped in at once with one reset.
    struct Contents {
        int rows = 0;
        int columns = 0;
        std::vector<QString> cells;   // rows x columns, row by row; may be shorter (empty cells)
        std::vector<QString> headers; // one per column
        std::vector<int> alignments;  // one per column; 0: the view's default
        bool rowNumbers = false;      // rows headed 1, 2, ...; else with empty headers
    };
    void setContents(Contents contents);

    QString text(int row, int column) const;

private:
    Contents c_;
};

class QueryGrid : public QTableView {
    Q_OBJECT
public:
    explicit QueryGrid(QWidget* parent = nullptr);

    // Shows the contents, keeping the widths of the columns that were there before.
    void setContents(QueryGridModel::Contents contents);

    int rowCount() const;
    int columnCount() const;
    // A cell's text; empty outside the grid.
    QString text(int row, int column) const;
    QString headerText(int column) const;
    // The alignment a cell is drawn with when set for it; 0 when the view's default.
    int textAlignment(int row, int column) const;

private:
    QueryGridModel* model_;
};
