#include "ado/RecordsetModel.h"

#include "ado/AdoError.h"

namespace ado {

RecordsetModel::RecordsetModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordsetModel::setRecordset(RecordsetPtr recordset) {
    beginResetModel();
    rs_ = std::move(recordset);
    readFailed_ = false;
    if (rs_)
        rs_->SetPageSize(fetchSize_);
    endResetModel();
}

void RecordsetModel::setFetchSize(int rows) {
    fetchSize_ = rows > 0 ? rows : 1;
    if (rs_)
        rs_->SetPageSize(fetchSize_);
}

int RecordsetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !rs_ ? 0 : rs_->RecordCount();
}

int RecordsetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !rs_ ? 0 : int(rs_->Fields().size());
}

const engine::Row* RecordsetModel::rowAt(int row) const {
    try {
        return &rs_->row(row);
    } catch (const AdoError& e) {
        // Reported once, after the view has finished what it was doing.
        if (!readFailed_) {
            readFailed_ = true;
            auto* self = const_cast<RecordsetModel*>(this);
            QMetaObject::invokeMethod(
                self, [self, n = e.Number(), text = e.Description()] { emit self->writeFailed(n, text); },
                Qt::QueuedConnection);
        }
        return nullptr;
    }
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const {
    if (!rs_ || !index.isValid() || index.row() >= rs_->RecordCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        const engine::Row* row = rowAt(index.row());
        if (!row)
            return {};
        const QVariant& v = (*row)[size_t(index.column())];
        if (v.isNull())
            return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
        return engine::valueText(v, rs_->Fields()[size_t(index.column())]);
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

} // namespace ado
