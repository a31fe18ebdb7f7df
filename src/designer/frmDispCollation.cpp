#include "designer/frmDispCollation.h"

#include "controls/CListViewManager.h"
#include "core/FormHelpers.h"
#include "dmo/DmoError.h"
#include "dmo/SQLServer.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
QPointer<frmDispCollation> s_current;

// Deletes the window at the end of the call unless its parent took it down first.
struct WindowOwner {
    QPointer<frmDispCollation> window;
    ~WindowOwner() { delete window.data(); }
};

const QString kName = QStringLiteral("Name");

// A Windows collation taken apart: the designator (Latin1_General, Chinese_PRC_Stroke) and the
// sort-order options that follow it.
struct WindowsCollation {
    QString designator;
    bool binary = false, caseSensitive = false, accentSensitive = false, kanaSensitive = false,
         widthSensitive = false;
};

WindowsCollation takeApart(const QString& collation) {
    WindowsCollation c;
    QStringList parts = collation.split(u'_');
    static const QStringList options{"BIN", "CI", "CS", "AI", "AS", "KS", "WS"};
    while (parts.size() > 1 && options.contains(parts.last().toUpper())) {
        const QString o = parts.takeLast().toUpper();
        c.binary |= o == QLatin1String("BIN");
        c.caseSensitive |= o == QLatin1String("CS");
        c.accentSensitive |= o == QLatin1String("AS");
        c.kanaSensitive |= o == QLatin1String("KS");
        c.widthSensitive |= o == QLatin1String("WS");
    }
    c.designator = parts.join(u'_');
    return c;
}

// The row of a list whose name is Name in any letter case; -1 when none.
int findRow(CListViewManager* list, const QString& Name) {
    for (int i = 1; i <= list->Count(); ++i)
        if (list->GetColumnValue(kName, i).toString().compare(Name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
} // namespace

frmDispCollation* frmDispCollation::Current() {
    return s_current;
}

frmDispCollation::frmDispCollation(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmDispCollation"));
    setWindowTitle(QStringLiteral("Páginas de Código (Collations)"));

    cmdCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdCancelar->setAutoDefault(false);
    cmdOk = new QPushButton(QStringLiteral("&Ok"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);

    fraOrdena = new QGroupBox(this);
    fraOrdena->setObjectName(QStringLiteral("fraOrdena"));
    optDictionary = new QRadioButton(QStringLiteral("Ordenação Alfabética"), fraOrdena);
    optDictionary->setObjectName(QStringLiteral("optDictionary"));
    optBinary = new QRadioButton(QStringLiteral("Ordenação Binária"), fraOrdena);
    optBinary->setObjectName(QStringLiteral("optBinary"));
    fraDictionary = new QGroupBox(fraOrdena);
    fraDictionary->setObjectName(QStringLiteral("fraDictionary"));
    chkWithSensitive =
        new QCheckBox(QStringLiteral("Sensível ao Comprimento Binário"), fraDictionary);
    chkWithSensitive->setObjectName(QStringLiteral("chkWithSensitive"));
    chkKanaSensitive = new QCheckBox(QStringLiteral("Sensível \"Kana\" (Japonês)"), fraDictionary);
    chkKanaSensitive->setObjectName(QStringLiteral("chkKanaSensitive"));
    chkAccentSensitive = new QCheckBox(QStringLiteral("Sensível à Fonética"), fraDictionary);
    chkAccentSensitive->setObjectName(QStringLiteral("chkAccentSensitive"));
    chkCaseSensitive = new QCheckBox(QStringLiteral("Sensível ao Caso"), fraDictionary);
    chkCaseSensitive->setObjectName(QStringLiteral("chkCaseSensitive"));

    // The two groups are one set of option buttons, the sort orders another.
    auto* groups = new QWidget(this);
    optWindows = new QRadioButton(QStringLiteral("Páginas de Código Windows"), groups);
    optWindows->setObjectName(QStringLiteral("optWindows"));
    optSQL =
        new QRadioButton(QStringLiteral("Páginas de Código SQL (Modo de Compatibilidade)"), groups);
    optSQL->setObjectName(QStringLiteral("optSQL"));
    fraSQL = new QGroupBox(this);
    fraSQL->setObjectName(QStringLiteral("fraSQL"));
    lvwSQL = new QTreeWidget(fraSQL);
    lvwSQL->setObjectName(QStringLiteral("lvwSQL"));
    fraWindows = new QGroupBox(this);
    fraWindows->setObjectName(QStringLiteral("fraWindows"));
    lvwWindows = new QTreeWidget(fraWindows);
    lvwWindows->setObjectName(QStringLiteral("lvwWindows"));

    auto* dict = new QVBoxLayout(fraDictionary);
    dict->addWidget(chkCaseSensitive);
    dict->addWidget(chkAccentSensitive);
    dict->addWidget(chkKanaSensitive);
    dict->addWidget(chkWithSensitive);
    auto* ordena = new QVBoxLayout(fraOrdena);
    ordena->addWidget(optDictionary);
    ordena->addWidget(fraDictionary);
    ordena->addWidget(optBinary);
    auto* groupsLayout = new QVBoxLayout(groups);
    groupsLayout->setContentsMargins(0, 0, 0, 0);
    groupsLayout->addWidget(optWindows);
    groupsLayout->addWidget(optSQL);
    (new QVBoxLayout(fraSQL))->addWidget(lvwSQL);
    (new QVBoxLayout(fraWindows))->addWidget(lvwWindows);

    auto* grid = new QGridLayout(this);
    grid->addWidget(groups, 0, 0, 1, 2);
    grid->addWidget(fraWindows, 1, 0);
    grid->addWidget(fraOrdena, 1, 1);
    grid->addWidget(fraSQL, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancelar);
    grid->addLayout(buttons, 3, 0, 1, 2);

    connect(cmdOk, &QPushButton::clicked, this, &frmDispCollation::cmdOk_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &frmDispCollation::cmdCancelar_Click);
    for (QRadioButton* opt : {optSQL, optWindows, optBinary, optDictionary})
        connect(opt, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                ApplyEnabledStates();
        });
    Form_Load();
}

frmDispCollation::~frmDispCollation() = default;

void frmDispCollation::Form_Load() {
    SetHelpContext(this);
    mSQLList = new CListViewManager(this);
    mSQLList->AppendColumns(kName, 3644, 0, 0, 0, {}, kName);
    mSQLList->setListView(lvwSQL);
    mWindowsList = new CListViewManager(this);
    mWindowsList->AppendColumns(kName, 3644, 0, 0, 0, {}, kName);
    mWindowsList->setListView(lvwWindows);
    resize(560, 520);
}

void frmDispCollation::ApplyEnabledStates() {
    if (optSQL->isChecked()) {
        EnableControls(this, fraWindows, false, true);
        EnableControls(this, fraSQL, true, true);
        EnableControls(this, fraOrdena, false, true);
    } else {
        EnableControls(this, fraSQL, false, true);
        EnableControls(this, fraWindows, true, true);
        EnableControls(this, fraOrdena, true, true);
        EnableControls(this, fraDictionary, !optBinary->isChecked(), true);
    }
}

QString frmDispCollation::ChosenCollation() const {
    if (optSQL->isChecked()) {
        if (mSQLList->SelectedIndex() == 0)
            return {};
        return mSQLList->GetColumnValue(kName).toString();
    }
    if (mWindowsList->SelectedIndex() == 0)
        return {};
    QString name = mWindowsList->GetColumnValue(kName).toString();
    if (optBinary->isChecked()) {
        name += QStringLiteral("_BIN");
    } else {
        name += chkCaseSensitive->isChecked() ? QStringLiteral("_CS") : QStringLiteral("_CI");
        name += chkAccentSensitive->isChecked() ? QStringLiteral("_AS") : QStringLiteral("_AI");
        if (chkKanaSensitive->isChecked())
            name += QStringLiteral("_KS");
        if (chkWithSensitive->isChecked())
            name += QStringLiteral("_WS");
    }
    // Only a collation the server has, as the server spells it.
    return mServerCollations.value(name.toLower());
}

QString frmDispCollation::ShowCollation(dmo::SQLServer* Server, QWidget* ParentForm,
                                        const QString& OriginalCollation) {
    if (!Server)
        return OriginalCollation;
    QPointer<frmDispCollation> guard(
        new frmDispCollation(ParentForm ? ParentForm->window() : nullptr));
    const WindowOwner owner{guard};
    frmDispCollation& form = *guard;
    s_current = guard;
    // Over the calling form (its window when it is a child window of the main window).
    CenterForm(&form, ParentForm ? ParentForm->window() : nullptr);

    dmo::NamesPtr names;
    try {
        names = Server->ListCollations();
    } catch (const dmo::DmoError&) {
        return OriginalCollation;
    }
    for (int i = 1; i <= names->Count(); ++i) {
        const QString name = names->Item(i);
        form.mServerCollations.insert(name.toLower(), name);
        if (name.startsWith(QLatin1String("SQL_"))) {
            const int row = form.mSQLList->AddNewItem();
            form.mSQLList->SetColumnValue(kName, name, row);
        } else {
            const QString designator = takeApart(name).designator;
            if (form.mWindowsList->FindItem(kName, designator, 1) < 0) {
                const int row = form.mWindowsList->AddNewItem();
                form.mWindowsList->SetColumnValue(kName, designator, row);
            }
        }
    }
    form.mSQLList->OrderByField(kName);
    form.mWindowsList->OrderByField(kName);
    form.mSQLList->SetSelectedItem(1);
    form.mWindowsList->SetSelectedItem(1);

    if (OriginalCollation.startsWith(QLatin1String("SQL_"))) {
        form.optSQL->setChecked(true);
        const int row = form.mSQLList->FindItem(kName, OriginalCollation, 1);
        if (row > 0)
            form.mSQLList->SetSelectedItem(row);
    } else {
        form.optWindows->setChecked(true);
        const WindowsCollation given = takeApart(OriginalCollation);
        const int row = findRow(form.mWindowsList, given.designator);
        if (row > 0)
            form.mWindowsList->SetSelectedItem(row);
        if (given.binary)
            form.optBinary->setChecked(true);
        else
            form.optDictionary->setChecked(true);
        form.chkCaseSensitive->setChecked(given.caseSensitive);
        form.chkAccentSensitive->setChecked(given.accentSensitive);
        form.chkKanaSensitive->setChecked(given.kanaSensitive);
        form.chkWithSensitive->setChecked(given.widthSensitive);
    }
    form.ApplyEnabledStates();
    const QString shown = form.ChosenCollation();

    form.mCancel = true; // a close with the close box is a cancel
    form.exec();
    if (!guard || form.mCancel)
        return OriginalCollation;
    // Unchanged choices give the collation back as it was given.
    const QString chosen = form.ChosenCollation();
    return chosen.isEmpty() || chosen == shown ? OriginalCollation : chosen;
}

void frmDispCollation::cmdOk_Click() {
    mCancel = false;
    done(Accepted);
}

void frmDispCollation::cmdCancelar_Click() {
    mCancel = true;
    done(Rejected);
}
