#pragma once
#include "ado/Recordset.h"

#include <QAbstractTableModel>

namespace ado {

// A table model over a recordset: rows are read from the server as the view asks for them;
// an edited cell is written back to the base table, and a refused write leaves the row as
// it was and is reported once through writeFailed.
class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordsetModel(QObject* parent = nullptr);
    // Shows the recordset (nullptr: nothing); reads its first rows.
    void setRecordset(RecordsetPtr recordset);
    RecordsetPtr recordset() const { return rs_; }
    void setFetchSize(int rows) { fetchSize_ = rows > 0 ? rows : 1; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    bool canFetchMore(const QModelIndex& parent = {}) const override;
    void fetchMore(const QModelIndex& parent = {}) override;

signals:
    // A write the server refused, or rows that could not be read: the server's number and text.
    void writeFailed(int number, const QString& description);
    void rowUpdated(int row);

private:
    RecordsetPtr rs_;
    int fetchSize_ = 256;
};

} // namespace ado
