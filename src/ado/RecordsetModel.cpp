#include "ado/RecordsetModel.h"

#include "ado/AdoError.h"

namespace ado {

RecordsetModel::RecordsetModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordsetModel::setRecordset(RecordsetPtr recordset) {
    beginResetModel();
    rs_ = std::move(recordset);
    endResetModel();
    if (canFetchMore())
        fetchMore();
}

int RecordsetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !rs_ ? 0 : rs_->RowsFetched();
}

int RecordsetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !rs_ ? 0 : int(rs_->Fields().size());
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const {
    if (!rs_ || !index.isValid() || index.row() >= rs_->RowsFetched())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        const QVariant& v = rs_->row(index.row())[size_t(index.column())];
        if (v.isNull())
            return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
        return rs_->text(index.row(), index.column());
    }
    return {};
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || !rs_)
        return {};
    if (orientation == Qt::Horizontal)
        return section < int(rs_->Fields().size()) ? rs_->Fields()[size_t(section)].name : QVariant();
    return section + 1;
}

Qt::ItemFlags RecordsetModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (rs_ && index.isValid() && rs_->FieldUpdatable(index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

bool RecordsetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!rs_ || !index.isValid() || role != Qt::EditRole)
        return false;
    // An edit that leaves the shown text as it was changes nothing (a NULL stays NULL).
    const bool same = value.typeId() == QMetaType::QString
                          ? value.toString() == data(index, Qt::DisplayRole).toString()
                          : data(index, Qt::EditRole) == value;
    if (same)
        return false;
    try {
        rs_->Update(index.row(), index.column(), value);
    } catch (const AdoError& e) {
        emit writeFailed(e.Number(), e.Description());
        return false;
    }
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    emit rowUpdated(index.row());
    return true;
}

bool RecordsetModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && rs_ && !rs_->AtEnd();
}

void RecordsetModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent))
        return;
    const int first = rs_->RowsFetched();
    int got = 0;
    QString failure;
    int number = 0;
    // The rows are read before they are announced; a read error ends the rows.
    try {
        got = rs_->FetchMore(fetchSize_);
    } catch (const AdoError& e) {
        number = e.Number();
        failure = e.Description();
        got = rs_->RowsFetched() - first;
    }
    if (got > 0) {
        beginInsertRows({}, first, first + got - 1);
        endInsertRows();
    }
    if (!failure.isEmpty())
        emit writeFailed(number, failure);
}

} // namespace ado
