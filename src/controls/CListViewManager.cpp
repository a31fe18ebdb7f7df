#include "controls/CListViewManager.h"

#include "core/Twips.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// Blocks the user-event signals while the manager itself moves the selection.
struct Quiet {
    explicit Quiet(bool& flag) : flag_(flag), old_(flag) { flag_ = false; }
    ~Quiet() { flag_ = old_; }
    bool& flag_;
    bool old_;
};

// Numbers are shown as plain digits with a "-" sign, as the editor boxes and the SQL texts
// hold them, whatever the user's locale; each text reads back to its value.
QLocale numberLocale() {
    QLocale loc = QLocale::c();
    loc.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return loc;
}

// A number from a value or a cell text; nullopt when it is empty or not a number.
std::optional<double> toNumber(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return std::nullopt;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Bool:
        return v.toDouble();
    default:
        break;
    }
    const QString s = v.toString().trimmed();
    if (s.isEmpty())
        return std::nullopt;
    bool ok = false;
    double d = numberLocale().toDouble(s, &ok);
    if (!ok)
        d = s.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return d;
}

// A whole number from an integer value or a text of digits, to the last digit (a double holds
// only 53 bits); nullopt for anything else.
std::optional<qint64> toWhole(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return std::nullopt;
    bool ok = false;
    qint64 n = 0;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        n = v.toLongLong(&ok);
        break;
    case QMetaType::QString: {
        const QString s = v.toString().trimmed();
        n = numberLocale().toLongLong(s, &ok);
        if (!ok)
            n = s.toLongLong(&ok);
        break;
    }
    default:
        break;
    }
    return ok ? std::optional<qint64>(n) : std::nullopt;
}

} // namespace

CListViewManager::CListViewManager(QObject* parent) : QObject(parent) {}

void CListViewManager::setListView(QTreeWidget* list) {
    for (const auto& c : m_Connections)
        disconnect(c);
    m_Connections.clear();
    if (m_List) {
        m_List->removeEventFilter(this);
        m_List->viewport()->removeEventFilter(this);
    }
    m_List = list;
    m_ListObject = list;
    m_ViewportObject = list ? list->viewport() : nullptr;
    if (!list)
        return;
    m_Connections << connect(list, &QObject::destroyed, this, [this] {
        m_ListObject = nullptr;
        m_ViewportObject = nullptr;
    });

    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSortingEnabled(false);
    list->setSelectionMode(m_MultiSelect ? QAbstractItemView::ExtendedSelection
                                         : QAbstractItemView::SingleSelection);
    QPalette pal = list->palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    list->setPalette(pal);
    list->header()->setSectionsClickable(true);
    list->header()->setStretchLastSection(false);

    list->setColumnCount(std::max(1, ColumnCount()));
    for (int c = 0; c < ColumnCount(); ++c) {
        const Column& col = m_Columns[c];
        list->headerItem()->setText(c, col.caption);
        list->headerItem()->setTextAlignment(c, alignmentOf(c));
        list->setColumnWidth(c, TwipsToPixelsX(col.widthTwips));
        list->setColumnHidden(c, col.widthTwips == 0);
    }

    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    m_Connections << connect(list->header(), &QHeaderView::sectionClicked, this,
                             &CListViewManager::onHeaderClicked);
    m_Connections << connect(list, &QTreeWidget::itemChanged, this,
                             &CListViewManager::onItemChanged);
    m_Connections << connect(list, &QTreeWidget::itemClicked, this,
                             [this](QTreeWidgetItem* item, int) {
                                 if (const int i = IndexOf(item))
                                     emit ItemClick(i);
                             });
    m_Connections << connect(list, &QTreeWidget::currentItemChanged, this,
                             [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
                                 if (m_KeyMove && current)
                                     emit ItemClick(IndexOf(current));
                             });
}

bool CListViewManager::eventFilter(QObject* watched, QEvent* event) {
    // Compared as plain objects: the list may be half destroyed when its last events come.
    const QEvent::Type type = event->type();
    if (watched == m_ListObject) {
        if (type == QEvent::KeyPress) {
            // The space bar turns the current row's check mark, whichever cell has the focus.
            const auto* key = static_cast<QKeyEvent*>(event);
            QTreeWidgetItem* current = m_List ? m_List->currentItem() : nullptr;
            if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier && m_Checkboxes &&
                current) {
                current->setCheckState(0, current->checkState(0) == Qt::Checked ? Qt::Unchecked
                                                                                : Qt::Checked);
                return true;
            }
            m_KeyMove = true;
        } else if (type == QEvent::KeyRelease || type == QEvent::FocusOut) {
            m_KeyMove = false;
        }
    } else if (watched == m_ViewportObject && type == QEvent::MouseButtonPress) {
        m_KeyMove = false;
    }
    return QObject::eventFilter(watched, event);
}

Qt::Alignment CListViewManager::alignmentOf(int column) const {
    switch (m_Columns.value(column).align) {
    case AlignRight:
        return Qt::AlignRight | Qt::AlignVCenter;
    case AlignCenter:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

void CListViewManager::AppendColumns(const QString& ColumnCaption, int ColumnWidth, int ColumnAlign,
                                     int ColumnType, int DecimalPlaces,
                                     const QString& DefValuesList, const QString& FieldName) {
    Column col;
    col.caption = ColumnCaption;
    col.field = FieldName.trimmed();
    col.widthTwips = std::max(0, ColumnWidth);
    col.align = ColumnAlign;
    col.kind = (ColumnType == ColNumber || ColumnType == ColLookup) ? ColumnType : ColText;
    col.decimals = std::clamp(DecimalPlaces, 0, 15);
    if (col.kind == ColLookup)
        col.lookup = ParseKeyTextList(DefValuesList);
    m_Columns.append(col);
    if (!m_List)
        return;
    const int c = ColumnCount() - 1;
    m_List->setColumnCount(ColumnCount());
    m_List->headerItem()->setText(c, col.caption);
    m_List->headerItem()->setTextAlignment(c, alignmentOf(c));
    m_List->setColumnWidth(c, TwipsToPixelsX(col.widthTwips));
    m_List->setColumnHidden(c, col.widthTwips == 0);
}

void CListViewManager::ClearColumns() {
    m_Columns.clear();
    if (m_List) {
        m_List->clear();
        m_List->setColumnCount(1);
        m_List->headerItem()->setText(0, QString());
    }
}

void CListViewManager::setMultiSelect(bool multi) {
    m_MultiSelect = multi;
    if (m_List)
        m_List->setSelectionMode(multi ? QAbstractItemView::ExtendedSelection
                                       : QAbstractItemView::SingleSelection);
}

void CListViewManager::setCheckboxes(bool on) {
    m_Checkboxes = on;
    for (int i = 1; i <= Count(); ++i)
        prepareItem(Item(i));
}

void CListViewManager::prepareItem(QTreeWidgetItem* item) const {
    if (!item)
        return;
    const QSignalBlocker block(m_List);
    if (m_Checkboxes) {
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        if (!item->data(0, Qt::CheckStateRole).isValid())
            item->setCheckState(0, Qt::Unchecked);
        item->setData(0, CheckRole, int(item->checkState(0)));
    } else {
        item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
        item->setData(0, Qt::CheckStateRole, QVariant());
        item->setData(0, CheckRole, QVariant());
    }
}

int CListViewManager::Count() const {
    return m_List ? m_List->topLevelItemCount() : 0;
}

QTreeWidgetItem* CListViewManager::Item(int ItemIndex) const {
    if (!m_List || ItemIndex < 1 || ItemIndex > Count())
        return nullptr;
    return m_List->topLevelItem(ItemIndex - 1);
}

int CListViewManager::IndexOf(const QTreeWidgetItem* item) const {
    if (!m_List || !item)
        return 0;
    return m_List->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item)) + 1;
}

int CListViewManager::SelectedIndex() const {
    if (!m_List)
        return 0;
    if (QTreeWidgetItem* cur = m_List->currentItem())
        return IndexOf(cur);
    const auto sel = m_List->selectedItems();
    return sel.isEmpty() ? 0 : IndexOf(sel.front());
}

QList<int> CListViewManager::SelectedIndexes() const {
    QList<int> out;
    for (int i = 1; i <= Count(); ++i)
        if (Item(i)->isSelected())
            out << i;
    return out;
}

QTreeWidgetItem* CListViewManager::resolve(int ItemIndex) const {
    return ItemIndex == 0 ? Item(SelectedIndex()) : Item(ItemIndex);
}

bool CListViewManager::Selected(int ItemIndex) const {
    const QTreeWidgetItem* it = Item(ItemIndex);
    return it && it->isSelected();
}

void CListViewManager::SetItemSelected(int ItemIndex, bool selected) {
    if (QTreeWidgetItem* it = Item(ItemIndex)) {
        Quiet q(m_KeyMove);
        if (selected && !m_MultiSelect)
            m_List->clearSelection();
        it->setSelected(selected);
    }
}

QString CListViewManager::Tag(int ItemIndex) const {
    const QTreeWidgetItem* it = resolve(ItemIndex);
    return it ? it->data(0, TagRole).toString() : QString();
}

void CListViewManager::SetTag(int ItemIndex, const QString& tag) {
    if (QTreeWidgetItem* it = resolve(ItemIndex)) {
        const QSignalBlocker block(m_List);
        it->setData(0, TagRole, tag);
    }
}

bool CListViewManager::Checked(int ItemIndex) const {
    const QTreeWidgetItem* it = resolve(ItemIndex);
    return it && it->checkState(0) == Qt::Checked;
}

void CListViewManager::SetChecked(int ItemIndex, bool checked) {
    QTreeWidgetItem* it = resolve(ItemIndex);
    if (!it)
        return;
    const Qt::CheckState state = checked ? Qt::Checked : Qt::Unchecked;
    {
        const QSignalBlocker block(m_List);
        it->setData(0, CheckRole, int(state)); // recorded first: no ItemCheck
    }
    it->setCheckState(0, state);
}

void CListViewManager::SetSmallIcon(int ItemIndex, const QIcon& icon) {
    if (QTreeWidgetItem* it = resolve(ItemIndex))
        it->setIcon(0, icon);
}

void CListViewManager::RemoveItem(int ItemIndex) {
    Quiet q(m_KeyMove);
    delete Item(ItemIndex);
}

void CListViewManager::Clear() {
    Quiet q(m_KeyMove);
    if (m_List)
        m_List->clear();
}

int CListViewManager::BoldIndex() const {
    for (int i = 1; i <= Count(); ++i)
        if (Item(i)->data(0, BoldRole).toBool())
            return i;
    return 0;
}

int CListViewManager::ColumnIndex(const QString& FieldName) const {
    const QString f = FieldName.trimmed();
    for (int c = 0; c < ColumnCount(); ++c)
        if (m_Columns[c].field.compare(f, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

QString CListViewManager::ColumnField(int column) const {
    return m_Columns.value(column).field;
}

int CListViewManager::ColumnKindOf(int column) const {
    return m_Columns.value(column).kind;
}

int CListViewManager::AddNewItem(int ItemIndex) {
    if (!m_List)
        return 0;
    auto* item = new QTreeWidgetItem;
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    for (int c = 0; c < ColumnCount(); ++c)
        item->setTextAlignment(c, alignmentOf(c));
    {
        const QSignalBlocker block(m_List);
        if (ItemIndex >= 1 && ItemIndex <= Count())
            m_List->insertTopLevelItem(ItemIndex - 1, item);
        else
            m_List->addTopLevelItem(item);
    }
    prepareItem(item);
    const int pos = IndexOf(item);
    Quiet q(m_KeyMove);
    m_List->clearSelection();
    m_List->setCurrentItem(item);
    item->setSelected(true);
    return pos;
}

void CListViewManager::writeCell(QTreeWidgetItem* item, int column, const QVariant& value) const {
    const Column& col = m_Columns[column];
    switch (col.kind) {
    case ColNumber: {
        // Without decimals a whole number is kept whole: seeds may be any bigint.
        const auto w = col.decimals == 0 ? toWhole(value) : std::nullopt;
        const auto n = w ? std::nullopt : toNumber(value);
        if (w) {
            item->setData(column, ValueRole, qlonglong(*w));
            item->setText(column, numberLocale().toString(qlonglong(*w)));
        } else if (n) {
            item->setData(column, ValueRole, *n);
            item->setText(column, numberLocale().toString(*n, 'f', col.decimals));
        } else {
            // Empty or not a number: shown as given, reads 0.
            item->setData(column, ValueRole, QVariant());
            item->setText(column, value.toString());
        }
        break;
    }
    case ColLookup: {
        const QString key = value.toString();
        QString text;
        for (const KeyText& kt : col.lookup)
            if (kt.key.compare(key, Qt::CaseInsensitive) == 0) {
                text = kt.text;
                break;
            }
        item->setData(column, ValueRole, key);
        item->setText(column, text);
        break;
    }
    default:
        item->setData(column, ValueRole, QVariant());
        item->setText(column, value.toString());
        break;
    }
}

QVariant CListViewManager::readCell(const QTreeWidgetItem* item, int column) const {
    const Column& col = m_Columns[column];
    const QString shown = item->text(column);
    switch (col.kind) {
    case ColNumber: {
        const QVariant stored = item->data(column, ValueRole);
        if (stored.typeId() == QMetaType::LongLong) {
            if (numberLocale().toString(stored.toLongLong()) == shown)
                return stored;
        } else if (stored.isValid() &&
                   numberLocale().toString(stored.toDouble(), 'f', col.decimals) == shown) {
            return stored.toDouble();
        }
        // A text written straight into the list is read again.
        if (const auto w = col.decimals == 0 ? toWhole(shown) : std::nullopt)
            return qlonglong(*w);
        return toNumber(shown).value_or(0.0);
    }
    case ColLookup: {
        const QString key = item->data(column, ValueRole).toString();
        for (const KeyText& kt : col.lookup)
            if (kt.key.compare(key, Qt::CaseInsensitive) == 0 && kt.text == shown)
                return key;
        for (const KeyText& kt : col.lookup)
            if (!shown.isEmpty() && kt.text == shown)
                return kt.key;
        return shown.isEmpty() ? key : shown;
    }
    default:
        return shown;
    }
}

QVariant CListViewManager::GetColumnValue(const QString& Field, int ItemIndex) const {
    const int c = ColumnIndex(Field);
    const QTreeWidgetItem* item = resolve(ItemIndex);
    if (c < 0 || !item)
        return {};
    return readCell(item, c);
}

void CListViewManager::SetColumnValue(const QString& Field, const QVariant& Value, int ItemIndex) {
    const int c = ColumnIndex(Field);
    QTreeWidgetItem* item = resolve(ItemIndex);
    if (c < 0 || !item)
        return;
    writeCell(item, c, Value);
}

int CListViewManager::FindItem(const QString& FieldName, const QVariant& Value,
                               int InicialIndex) const {
    const int c = ColumnIndex(FieldName);
    if (c < 0)
        return -1;
    const bool numeric = m_Columns[c].kind == ColNumber;
    const auto wanted = numeric ? toNumber(Value) : std::nullopt;
    const QString text = Value.toString();
    for (int i = std::max(1, InicialIndex); i <= Count(); ++i) {
        const QVariant v = readCell(Item(i), c);
        if (numeric && wanted) {
            if (v.toDouble() == *wanted)
                return i;
        } else if (numeric) {
            if (Item(i)->text(c) == text)
                return i;
        } else if (v.toString() == text) {
            return i;
        }
    }
    return -1;
}

void CListViewManager::SetSelectedItem(int ItemIndex) {
    const int n = Count();
    if (n == 0 || ItemIndex < 1)
        return;
    QTreeWidgetItem* item = Item(std::min(ItemIndex, n));
    Quiet q(m_KeyMove);
    m_List->clearSelection();
    m_List->setCurrentItem(item);
    item->setSelected(true);
    m_List->scrollToItem(item);
    const QSignalBlocker block(m_List);
    for (int i = 1; i <= n; ++i) {
        QTreeWidgetItem* it = Item(i);
        const bool mark = it == item;
        if (it->data(0, BoldRole).toBool() == mark)
            continue;
        it->setData(0, BoldRole, mark);
        for (int c = 0; c < std::max(1, m_List->columnCount()); ++c) {
            QFont f = it->font(c);
            f.setBold(mark);
            it->setFont(c, f);
        }
    }
}

void CListViewManager::RemoveMarkedItems(const QString& MarkChar) {
    Quiet q(m_KeyMove);
    for (int i = Count(); i >= 1; --i)
        if (Item(i)->data(0, TagRole).toString() == MarkChar)
            delete Item(i);
}

void CListViewManager::OrderByField(const QString& FieldName, int Order) {
    const int c = ColumnIndex(FieldName);
    if (c >= 0)
        sortColumn(c, Order == 1 ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void CListViewManager::sortColumn(int column, Qt::SortOrder order) {
    if (!m_List || column < 0 || column >= ColumnCount())
        return;
    Quiet q(m_KeyMove);
    const bool numeric = m_Columns[column].kind == ColNumber;
    QTreeWidgetItem* current = m_List->currentItem();
    const QList<QTreeWidgetItem*> selected = m_List->selectedItems();
    QList<QTreeWidgetItem*> items = m_List->invisibleRootItem()->takeChildren();
    const auto less = [&](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
        if (numeric)
            return readCell(a, column).toDouble() < readCell(b, column).toDouble();
        return a->text(column).compare(b->text(column), Qt::CaseInsensitive) < 0;
    };
    if (order == Qt::AscendingOrder)
        std::stable_sort(items.begin(), items.end(), less);
    else
        std::stable_sort(
            items.begin(), items.end(),
            [&](const QTreeWidgetItem* a, const QTreeWidgetItem* b) { return less(b, a); });
    {
        const QSignalBlocker block(m_List);
        m_List->invisibleRootItem()->addChildren(items);
    }
    if (current)
        m_List->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    for (QTreeWidgetItem* it : selected)
        it->setSelected(true);
    m_SortColumn = column;
    m_SortOrder = order;
    m_List->header()->setSortIndicatorShown(true);
    m_List->header()->setSortIndicator(column, order);
}

void CListViewManager::onHeaderClicked(int column) {
    emit ColumnClick(column);
    if (!m_AllowSorting) {
        if (m_List)
            m_List->header()->setSortIndicatorShown(false);
        return;
    }
    const Qt::SortOrder order = (column == m_SortColumn && m_SortOrder == Qt::AscendingOrder)
                                    ? Qt::DescendingOrder
                                    : Qt::AscendingOrder;
    sortColumn(column, order);
}

void CListViewManager::onItemChanged(QTreeWidgetItem* item, int column) {
    if (!m_Checkboxes || column != 0 || !item)
        return;
    const int now = int(item->checkState(0));
    const QVariant stored = item->data(0, CheckRole);
    if (stored.isValid() && stored.toInt() == now)
        return;
    {
        const QSignalBlocker block(m_List);
        item->setData(0, CheckRole, now);
    }
    if (stored.isValid())
        emit ItemCheck(IndexOf(item), now == Qt::Checked);
}
