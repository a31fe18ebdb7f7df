#include "designer/frmDispStructIndex.h"

#include "controls/CListViewManager.h"
#include "core/FormHelpers.h"
#include "core/TextHelpers.h"
#include "core/Twips.h"
#include "designer/M_MainMod.h"
#include "dmo/Database.h"
#include "dmo/DmoError.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <limits>

namespace {

QPointer<frmDispStructIndex> s_current;

// Deletes the window at the end of the call unless its parent took it down first.
struct WindowOwner {
    QPointer<frmDispStructIndex> window;
    ~WindowOwner() { delete window.data(); }
};

QWidget* mainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(w))
            return w;
    return nullptr;
}

// The type of a designer row cannot be indexed: text, ntext, or a user type over either.
bool isTextType(const QString& dataType) {
    const QString t = TrimBlanks(dataType.toLower());
    return t == QLatin1String("text") || t == QLatin1String("ntext") ||
           t.endsWith(QLatin1String(" (text)")) || t.endsWith(QLatin1String(" (ntext)"));
}

} // namespace

frmDispStructIndex* frmDispStructIndex::Current() {
    return s_current;
}

frmDispStructIndex::frmDispStructIndex(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmDispStructIndex"));
    setWindowTitle(QStringLiteral("Índices"));
    const auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };

    menuBar = new QMenuBar(this);
    mnuNew = menuBar->addAction(QStringLiteral("&Novo"));
    mnuNew->setObjectName(QStringLiteral("mnuNew"));
    mnuDelete = menuBar->addAction(QStringLiteral("&Eliminar"));
    mnuDelete->setObjectName(QStringLiteral("mnuDelete"));

    fraControlos = new QGroupBox(this);
    named(fraControlos, "fraControlos");
    lblIndex = new QLabel(QStringLiteral("&Índice :"), fraControlos);
    cboIndex = new QComboBox(fraControlos);
    named(cboIndex, "cboIndex");
    lblIndex->setBuddy(cboIndex);
    lblIndexName = new QLabel(QStringLiteral("No&me :"), fraControlos);
    txtIndexName = new QLineEdit(fraControlos);
    named(txtIndexName, "txtIndexName");
    txtIndexName->setMaxLength(128);
    lblIndexName->setBuddy(txtIndexName);

    fraList = new QGroupBox(fraControlos);
    named(fraList, "fraList");
    lblColumns = new QLabel(QStringLiteral("Co&lunas :"), fraList);
    lvwColumns = new QTreeWidget(fraList);
    named(lvwColumns, "lvwColumns");
    lblColumns->setBuddy(lvwColumns);
    lblOrdem = new QLabel(QStringLiteral("Orde&m :"), fraList);
    cboOrdem = new QComboBox(fraList);
    named(cboOrdem, "cboOrdem");
    lblOrdem->setBuddy(cboOrdem);

    lblFileGroup = new QLabel(QStringLiteral("&Ficheiro :"), fraControlos);
    cboFileGroup = new QComboBox(fraControlos);
    named(cboFileGroup, "cboFileGroup");
    lblFileGroup->setBuddy(cboFileGroup);
    lblFillFactor = new QLabel(QStringLiteral("Factor de &Preenchimento :"), fraControlos);
    txtFillFactor = new QLineEdit(fraControlos);
    named(txtFillFactor, "txtFillFactor");
    lblFillFactor->setBuddy(txtFillFactor);
    lblPercent = new QLabel(QStringLiteral("%"), fraControlos);
    chkPadIndex = new QCheckBox(QStringLiteral("Pad Index"), fraControlos);
    named(chkPadIndex, "chkPadIndex");
    chkPadIndex->setEnabled(false);
    SetTag(chkPadIndex, QStringLiteral("0")); // never enabled: it has no function
    chkUnique = new QCheckBox(QStringLiteral("&Único"), fraControlos);
    named(chkUnique, "chkUnique");
    fraUnique = new QGroupBox(fraControlos);
    named(fraUnique, "fraUnique");
    optConstraint = new QRadioButton(QStringLiteral("Cons&traint"), fraUnique);
    named(optConstraint, "optConstraint");
    optIndex = new QRadioButton(QStringLiteral("In&díce"), fraUnique);
    named(optIndex, "optIndex");
    optIndex->setChecked(true); // the model's default for a unique index
    chkIgnoreDupKeys = new QCheckBox(QStringLiteral("Ignorar Duplicados"), fraUnique);
    named(chkIgnoreDupKeys, "chkIgnoreDupKeys");
    for (QWidget* w : {static_cast<QWidget*>(optConstraint), static_cast<QWidget*>(optIndex),
                       static_cast<QWidget*>(chkIgnoreDupKeys)})
        w->setEnabled(false);
    chkClustered = new QCheckBox(QStringLiteral("Criar Agregado (Cl&ustered)"), fraControlos);
    named(chkClustered, "chkClustered");
    chkNoRecompute = new QCheckBox(QStringLiteral("&Não Recalcular Estatísticas"), fraControlos);
    named(chkNoRecompute, "chkNoRecompute");

    cmdOk = new QPushButton(QStringLiteral("&Ok"), this);
    named(cmdOk, "cmdOk");
    cmdCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    named(cmdCancelar, "cmdCancelar");
    for (QPushButton* b : {cmdOk, cmdCancelar}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    // Layout.
    auto* listLayout = new QGridLayout(fraList);
    listLayout->addWidget(lblColumns, 0, 0, 1, 2);
    listLayout->addWidget(lvwColumns, 1, 0, 1, 2);
    listLayout->addWidget(lblOrdem, 2, 0);
    listLayout->addWidget(cboOrdem, 2, 1);
    auto* uniqueLayout = new QVBoxLayout(fraUnique);
    uniqueLayout->setSpacing(2);
    uniqueLayout->addWidget(optConstraint);
    uniqueLayout->addWidget(optIndex);
    uniqueLayout->addWidget(chkIgnoreDupKeys);
    auto* fill = new QHBoxLayout;
    fill->addWidget(txtFillFactor);
    fill->addWidget(lblPercent);
    auto* ctl = new QGridLayout(fraControlos);
    ctl->addWidget(lblIndex, 0, 0);
    ctl->addWidget(cboIndex, 0, 1);
    ctl->addWidget(lblIndexName, 1, 0);
    ctl->addWidget(txtIndexName, 1, 1);
    ctl->addWidget(fraList, 2, 0, 1, 2);
    ctl->addWidget(lblFileGroup, 3, 0);
    ctl->addWidget(cboFileGroup, 3, 1);
    ctl->addWidget(lblFillFactor, 4, 0);
    ctl->addLayout(fill, 4, 1);
    auto* flags = new QVBoxLayout;
    flags->addWidget(chkPadIndex);
    flags->addWidget(chkUnique);
    flags->addWidget(chkClustered);
    flags->addWidget(chkNoRecompute);
    auto* options = new QHBoxLayout;
    options->addLayout(flags);
    options->addWidget(fraUnique);
    ctl->addLayout(options, 5, 0, 1, 2);
    ctl->setRowStretch(2, 1); // the key-column list takes the room there is
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancelar);
    auto* main = new QVBoxLayout(this);
    main->setMenuBar(menuBar);
    main->addWidget(fraControlos);
    main->addLayout(buttons);

    // Handlers.
    connect(cboIndex, &QComboBox::currentIndexChanged, this, [this] { cboIndex_Click(); });
    connect(cboFileGroup, &QComboBox::currentIndexChanged, this, [this] { cboFileGroup_Click(); });
    connect(chkClustered, &QCheckBox::stateChanged, this, [this] { chkClustered_Click(); });
    connect(chkIgnoreDupKeys, &QCheckBox::stateChanged, this, [this] { chkIgnoreDupKeys_Click(); });
    connect(chkNoRecompute, &QCheckBox::stateChanged, this, [this] { chkNoRecompute_Click(); });
    connect(chkUnique, &QCheckBox::stateChanged, this, [this] { chkUnique_Click(); });
    connect(optConstraint, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            optConstraint_Click();
    });
    connect(optIndex, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            optIndex_Click();
    });
    connect(cboOrdem, &QComboBox::currentIndexChanged, this, [this] { cboOrdem_Click(); });
    connect(txtIndexName, &QLineEdit::textEdited, this, [this] { mNameEdited = true; });
    connect(txtFillFactor, &QLineEdit::textEdited, this, [this] { mFillFactorEdited = true; });
    connect(mnuNew, &QAction::triggered, this, &frmDispStructIndex::mnuNew_Click);
    connect(mnuDelete, &QAction::triggered, this, &frmDispStructIndex::mnuDelete_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmDispStructIndex::cmdOK_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &frmDispStructIndex::cmdCancelar_Click);
    txtIndexName->installEventFilter(this);
    txtFillFactor->installEventFilter(this);

    Form_Load();
}

frmDispStructIndex::~frmDispStructIndex() {
    // The boxes may still lose the focus while they are destroyed: no checks then.
    txtIndexName->removeEventFilter(this);
    txtFillFactor->removeEventFilter(this);
}

void frmDispStructIndex::Form_Load() {
    SetHelpContextID(this, 10003);
    SetHelpContext(this);
    mOrderList = QStringLiteral(":;A:Ascendente;D:Descendente;");
    mColumnList = new CListViewManager(this);
    mColumnList->setListView(lvwColumns);
    mColumnList->setAllowSorting(false);
    mColumnList->setCheckboxes(true);
    lvwColumns->setAllColumnsShowFocus(false);
    mColumnList->AppendColumns(QStringLiteral("Nome"), 2130, 0, 0, 0, {}, QStringLiteral("Name"));
    mColumnList->AppendColumns(QStringLiteral("Ordem"), 1500, 0, 4, 0, mOrderList,
                               QStringLiteral("Order"));
    mColumnList->AppendColumns(QStringLiteral("OldName"), 0, 0, 0, 0, {},
                               QStringLiteral("OldName"));
    resize(TwipsToPixelsX(6600), TwipsToPixelsY(7605));
    CenterForm(this, mainWindow());
    {
        const QSignalBlocker block(cboOrdem);
        cboOrdem->addItems(
            {QString(), QStringLiteral("Ascendente"), QStringLiteral("Descendente")});
    }
    connect(mColumnList, &CListViewManager::ItemCheck, this,
            [this](int item, bool) { lvwColumns_ItemCheck(item); });
    connect(mColumnList, &CListViewManager::ItemClick, this,
            [this](int item) { lvwColumns_ItemClick(item); });
}

bool frmDispStructIndex::ShowIDX(clsIndexesCOL& clsIDX, CListViewManager& clsLvwColumns,
                                 dmo::Database* oDataBase, const QString& TableName) {
    // On the heap: the main window owns it while it is shown and may take it down first.
    QPointer<frmDispStructIndex> guard(new frmDispStructIndex(mainWindow()));
    const WindowOwner owner{guard};
    frmDispStructIndex& form = *guard;
    s_current = guard;

    form.mCancelled = false;
    form.mLoading = true;
    form.clsLvwColumns = &clsLvwColumns;
    form.TableName = TableName;
    form.mWorkIndexes = clsIndexesCOL();
    for (int i = 1; i <= clsIDX.Count(); ++i)
        form.mWorkIndexes.AddObject(*clsIDX.Item(i));

    {
        const QSignalBlocker block(form.cboFileGroup);
        if (oDataBase) {
            try {
                const dmo::SQLObjectListPtr groups = oDataBase->FileGroups();
                for (int i = 1; i <= groups->Count(); ++i)
                    form.cboFileGroup->addItem(groups->Item(i)->Name());
            } catch (const dmo::DmoError&) {
                // No filegroups to offer: the box stays empty.
            }
        }
        form.cboFileGroup->setCurrentIndex(form.cboFileGroup->count() > 0 ? 0 : -1);
    }
    {
        const QSignalBlocker block(form.cboIndex);
        for (const auto& e : form.mWorkIndexes)
            if (!e->Deleted() && !e->IndexIsPK())
                form.cboIndex->addItem(e->Act_IndexName());
        form.cboIndex->setCurrentIndex(-1);
    }
    if (form.cboIndex->count() == 0)
        form.EnableEditing(false);
    form.mnuNew->setEnabled(true);
    form.mnuDelete->setEnabled(true);
    form.FillColumns();
    if (form.mColumnList->Count() == 0)
        return false;

    form.mLoading = false;
    if (form.cboIndex->count() > 0)
        form.SelectIndexEntry(0);
    form.mCancelled = true; // any close but OK is a cancel
    form.exec();
    if (!guard || form.mCancelled)
        return false;

    for (int i = clsIDX.Count(); i >= 1; --i)
        clsIDX.Remove(i);
    for (const auto& e : form.mWorkIndexes)
        clsIDX.AddObject(*e);
    return true;
}

void frmDispStructIndex::FillColumns() {
    if (!clsLvwColumns)
        return;
    for (int i = 1; i <= clsLvwColumns->Count(); ++i) {
        const QString type =
            clsLvwColumns->GetColumnValue(QStringLiteral("DataType"), i).toString();
        const QString name = clsLvwColumns->GetColumnValue(QStringLiteral("Name"), i).toString();
        // A column not yet given a name cannot be a key column.
        if (isTextType(type) || TrimBlanks(name).isEmpty())
            continue;
        const int row = mColumnList->AddNewItem(0);
        mColumnList->SetColumnValue(QStringLiteral("Name"), name, row);
        mColumnList->SetColumnValue(QStringLiteral("Order"), QString(), row);
        mColumnList->SetColumnValue(
            QStringLiteral("OldName"),
            clsLvwColumns->GetColumnValue(QStringLiteral("OriginalName"), i), row);
        mColumnList->SetChecked(row, false);
    }
    mColumnList->SetSelectedItem(1);
}

void frmDispStructIndex::SaveCurrentIndex(const QString& IndexName) {
    if (mLoading || mShowing || mWorkIndexes.Count() == 0)
        return;
    // A rename names the entry it renames; otherwise the entry is the one the list shows,
    // whatever is still being typed in the name box.
    const QString name = IndexName.isEmpty() ? cboIndex->currentText() : IndexName;
    if (TrimBlanks(name).isEmpty())
        return;
    const clsIndexesCOL::Entry e = mWorkIndexes.FindIDX(name);
    if (!e)
        return;
    if (!IndexName.isEmpty())
        e->setAct_IndexName(txtIndexName->text());
    e->setAct_FileGroup(cboFileGroup->currentText());
    {
        // The number at the start of the text; an overlong one keeps the value.
        const QString text = txtFillFactor->text();
        qsizetype n = 0;
        while (n < text.size() && text[n] >= u'0' && text[n] <= u'9')
            ++n;
        bool ok = true;
        const qint64 v = n == 0 ? 0 : text.left(n).toLongLong(&ok);
        if (ok && v <= std::numeric_limits<qint32>::max())
            e->setAct_FillFactor(qint32(v));
    }
    e->setAct_Unique(chkUnique->isChecked());
    e->setAct_Clustered(chkClustered->isChecked());
    if (e->Act_Unique()) {
        if (optConstraint->isChecked()) {
            e->setAct_Constraint(true);
        } else {
            e->setAct_Constraint(false);
            e->setAct_IgnoreDupKeys(chkIgnoreDupKeys->isChecked());
        }
    }
    e->setAct_NoRecompute(chkNoRecompute->isChecked());
    e->setAct_IndexColumns(CheckedKeyColumns(e->Act_IndexColumns()));
}

QString frmDispStructIndex::CheckedKeyColumns(const QString& Current) const {
    QList<M_MainMod::IndexKeyColumn> checked;
    for (int i = 1; i <= mColumnList->Count(); ++i) {
        if (!mColumnList->Checked(i))
            continue;
        QString order =
            TrimBlanks(mColumnList->GetColumnValue(QStringLiteral("Order"), i).toString());
        if (order.isEmpty())
            order = QStringLiteral("A");
        checked.append({M_MainMod::StripBrackets(
                            mColumnList->GetColumnValue(QStringLiteral("Name"), i).toString()),
                        order});
    }
    // The index's own key order stays: the columns still checked keep their places, and those
    // checked since follow in the list's order.
    QString columns;
    for (const M_MainMod::IndexKeyColumn& key : M_MainMod::SplitMarked(Current)) {
        for (qsizetype c = 0; c < checked.size(); ++c) {
            if (!key.ColumnName.isEmpty() && checked[c].ColumnName == key.ColumnName) {
                columns += M_MainMod::MarkedColumn(checked[c].ColumnName, checked[c].SortOrder);
                checked.removeAt(c);
                break;
            }
        }
    }
    for (const M_MainMod::IndexKeyColumn& key : checked)
        columns += M_MainMod::MarkedColumn(key.ColumnName, key.SortOrder);
    return columns;
}

void frmDispStructIndex::EnableEditing(bool enabled) {
    EnableControls(this, fraControlos, enabled, false);
    fraList->setEnabled(enabled);
    mnuNew->setEnabled(true);
    mnuDelete->setEnabled(true);
}

void frmDispStructIndex::SelectIndexEntry(int position) {
    {
        const QSignalBlocker block(cboIndex);
        cboIndex->setCurrentIndex(position);
    }
    cboIndex_Click();
}

void frmDispStructIndex::CommitPendingEdits() {
    if (mNameEdited)
        txtIndexName_LostFocus();
    if (mFillFactorEdited)
        txtFillFactor_LostFocus();
}

bool frmDispStructIndex::NameTaken(const QString& name, int exceptPosition) const {
    const QString wanted = TrimBlanks(name).toLower();
    for (int p = 0; p < cboIndex->count(); ++p)
        if (p != exceptPosition && TrimBlanks(cboIndex->itemText(p)).toLower() == wanted)
            return true;
    // The primary key's index keeps its name: another index may not take it.
    for (const auto& e : mWorkIndexes)
        if (e->IndexIsPK() && !e->Deleted() && TrimBlanks(e->Act_IndexName()).toLower() == wanted)
            return true;
    return false;
}

bool frmDispStructIndex::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtIndexName || watched == txtFillFactor) {
        auto* box = static_cast<QLineEdit*>(watched);
        if (event->type() == QEvent::FocusIn) {
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
        } else if (event->type() == QEvent::FocusOut && !mLoading) {
            // Focus lost to a popup or another window is no leaving of the box.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
                if (watched == txtIndexName)
                    txtIndexName_LostFocus();
                else
                    txtFillFactor_LostFocus();
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmDispStructIndex::keyPressEvent(QKeyEvent* event) {
    // Neither button is the cancel button: Escape does not close the window.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
