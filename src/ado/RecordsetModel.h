#pragma once
#include "ado/Recordset.h"

#include <QAbstractTableModel>

namespace ado {

// A table model over a recordset: every row of the result is there from the start, and a
// row's values are read from the server when the view first asks for them; an edited cell is
// written back to the base table, and a refused write leaves the row as it was and is
// reported once through writeFailed.
class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordsetModel(QObject* parent = nullptr);
    // Shows the recordset (nullptr: nothing).
    void setRecordset(RecordsetPtr recordset);
    RecordsetPtr recordset() const { return rs_; }
    // Rows are read from the server this many at a time.
    void setFetchSize(int rows);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // A write the server refused, or rows that could not be read: the server's number and text.
    void writeFailed(int number, const QString& description);
    void rowUpdated(int row);

private:
    // The row's values, or nullptr when they cannot be read (reported once).
    const engine::Row* rowAt(int row) const;

    RecordsetPtr rs_;
    int fetchSize_ = 256;
    mutable bool readFailed_ = false;
};

} // namespace ado
