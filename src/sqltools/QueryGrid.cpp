// The query window's result grid: the model over one result's texts and its view.
#include "sqltools/QueryGrid.h"

#include <QHeaderView>

#include <utility>

int QueryGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : c_.rows;
}

int QueryGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : c_.columns;
}

QString QueryGridModel::text(int row, int column) const {
    if (row < 0 || row >= c_.rows || column < 0 || column >= c_.columns)
        return {};
    const size_t i = size_t(row) * size_t(c_.columns) + size_t(column);
    return i < c_.cells.size() ? c_.cells[i] : QString();
}

QVariant QueryGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const size_t i = size_t(index.row()) * size_t(c_.columns) + size_t(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (i < c_.cells.size())
            return c_.cells[i];
        return {};
    case Qt::TextAlignmentRole:
        if (size_t(index.column()) < c_.alignments.size() && c_.alignments[size_t(index.column())])
            return c_.alignments[size_t(index.column())];
        return {};
    default:
        return {};
    }
}

QVariant QueryGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical) {
        if (section < 0 || section >= c_.rows)
            return {};
        return c_.rowNumbers ? QVariant(section + 1) : QVariant(QString());
    }
    if (section < 0 || size_t(section) >= c_.headers.size())
        return {};
    return c_.headers[size_t(section)];
}

Qt::ItemFlags QueryGridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

void QueryGridModel::setContents(Contents contents) {
    beginResetModel();
    std::swap(c_, contents);
    endResetModel();
    // The previous texts go with `contents`, after the views have let go of them.
}

QueryGrid::QueryGrid(QWidget* parent) : QTableView(parent), model_(new QueryGridModel(this)) {
    setModel(model_);
}

void QueryGrid::setContents(QueryGridModel::Contents contents) {
    // A reset gives every column the default width: the ones that stay keep theirs.
    std::vector<int> widths(size_t(qMin(model_->columnCount(), contents.columns)));
    for (size_t c = 0; c < widths.size(); ++c)
        widths[c] = columnWidth(int(c));
    model_->setContents(std::move(contents));
    for (size_t c = 0; c < widths.size(); ++c)
        setColumnWidth(int(c), widths[c]);
}

int QueryGrid::rowCount() const {
    return model_->rowCount();
}

int QueryGrid::columnCount() const {
    return model_->columnCount();
}

QString QueryGrid::text(int row, int column) const {
    return model_->text(row, column);
}

QString QueryGrid::headerText(int column) const {
    return model_->headerData(column, Qt::Horizontal).toString();
}

int QueryGrid::textAlignment(int row, int column) const {
    return model_->data(model_->index(row, column), Qt::TextAlignmentRole).toInt();
}
