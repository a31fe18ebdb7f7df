#include "designer/frmDispStructFind.h"

#include "controls/CListViewManager.h"
#include "controls/ShowListDialog.h"
#include "core/FormHelpers.h"
#include "core/MsgBox.h"
#include "core/TextHelpers.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

QPointer<frmDispStructFind> s_instance;

QWidget* mainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(w))
            return w;
    return nullptr;
}

// One element of a Like pattern.
struct LikeToken {
    enum Kind { Literal, Any, Star, Digit, Set } kind = Literal;
    QChar ch;
    bool negate = false;
    QList<std::pair<QChar, QChar>> ranges;

    bool matches(QChar c) const {
        switch (kind) {
        case Literal:
            return c == ch;
        case Any:
            return true;
        case Digit:
            return c >= u'0' && c <= u'9';
        case Set: {
            bool in = false;
            for (const auto& [lo, hi] : ranges)
                if (c >= lo && c <= hi) {
                    in = true;
                    break;
                }
            return in != negate;
        }
        case Star:
            break;
        }
        return false;
    }
};

QList<LikeToken> parseLike(const QString& pattern) {
    QList<LikeToken> out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        LikeToken t;
        if (c == u'*') {
            t.kind = LikeToken::Star;
        } else if (c == u'?') {
            t.kind = LikeToken::Any;
        } else if (c == u'#') {
            t.kind = LikeToken::Digit;
        } else if (c == u'[' && pattern.indexOf(u']', i + 1) > i) {
            const qsizetype close = pattern.indexOf(u']', i + 1);
            QString body = pattern.mid(i + 1, close - i - 1);
            t.kind = LikeToken::Set;
            if (body.startsWith(u'!')) {
                t.negate = true;
                body.remove(0, 1);
            }
            for (qsizetype k = 0; k < body.size(); ++k) {
                if (k + 2 < body.size() && body[k + 1] == u'-') {
                    t.ranges.append({body[k], body[k + 2]});
                    k += 2;
                } else {
                    t.ranges.append({body[k], body[k]});
                }
            }
            i = close;
        } else {
            t.ch = c;
        }
        out.append(t);
    }
    return out;
}

} // namespace

bool LikePattern(const QString& Text, const QString& Pattern) {
    const QList<LikeToken> tokens = parseLike(Pattern);
    // Greedy match that goes back to the last "*" on a mismatch: no exponential backtracking.
    qsizetype t = 0, p = 0, starP = -1, starT = 0;
    while (t < Text.size()) {
        if (p < tokens.size() && tokens[p].kind == LikeToken::Star) {
            starP = p++;
            starT = t;
        } else if (p < tokens.size() && tokens[p].matches(Text[t])) {
            ++p;
            ++t;
        } else if (starP >= 0) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < tokens.size() && tokens[p].kind == LikeToken::Star)
        ++p;
    return p == tokens.size();
}

frmDispStructFind* frmDispStructFind::Instance() {
    return s_instance;
}

bool frmDispStructFind::Loaded() {
    return !s_instance.isNull();
}

void frmDispStructFind::Unload() {
    delete s_instance.data();
}

frmDispStructFind::frmDispStructFind(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmDispStructFind"));
    setWindowTitle(QStringLiteral("Procura de Colunas"));
    lblFind = new QLabel(QStringLiteral("&Nome a Procurar :"), this);
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setToolTip(QStringLiteral("Macros são Permitidas Ex: * = Qualquer Conjunto de "
                                       "Caracteres, ? = Um Qualquer Caracter"));
    lblFind->setBuddy(txtFind);
    Option1 = new QRadioButton(QStringLiteral("Procurar A Partir da Posição &Seleccionada"), this);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option1->setChecked(true);
    optInicio = new QRadioButton(QStringLiteral("Procurar A Partir do &Início"), this);
    optInicio->setObjectName(QStringLiteral("optInicio"));
    cmdProcurar = new QPushButton(QStringLiteral("&Procurar"), this);
    cmdProcurar->setObjectName(QStringLiteral("cmdProcurar"));
    cmdProcurar->setDefault(true);
    cmdCancelar = new QPushButton(QStringLiteral("&Fechar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdCancelar->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblFind, 0, 0);
    grid->addWidget(txtFind, 0, 1);
    grid->addWidget(Option1, 1, 0, 1, 2);
    grid->addWidget(optInicio, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdProcurar);
    buttons->addWidget(cmdCancelar);
    grid->addLayout(buttons, 3, 0, 1, 2);
    resize(420, sizeHint().height());

    txtFind->installEventFilter(this);
    connect(txtFind, &QLineEdit::textChanged, this, [this] { mSearchPass = 0; });
    connect(cmdProcurar, &QPushButton::clicked, this, &frmDispStructFind::cmdProcurar_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &frmDispStructFind::cmdCancelar_Click);
    Form_Load();
}

frmDispStructFind::~frmDispStructFind() = default;

void frmDispStructFind::Form_Load() {
    SetHelpContextID(this, 10001);
    CenterForm(this, mainWindow());
    SetHelpContext(this);
}

bool frmDispStructFind::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtFind && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, txtFind, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

void frmDispStructFind::closeEvent(QCloseEvent* event) {
    // The close box unloads the window: the next search starts afresh.
    QDialog::closeEvent(event);
    if (event->isAccepted())
        deleteLater();
    if (s_instance == this)
        s_instance = nullptr;
}

void frmDispStructFind::ShowPesq(CListViewManager& clsStruct, std::function<void(int)> Selected) {
    if (!s_instance)
        s_instance = new frmDispStructFind(mainWindow());
    frmDispStructFind* form = s_instance;
    form->mSearchPass = 0;
    form->mStruct = &clsStruct;
    form->mSelected = std::move(Selected);
    form->exec();
    if (s_instance == form)
        form->mSelected = {};
}

void frmDispStructFind::SelectRow(int Row) {
    if (!mStruct)
        return;
    mStruct->SetSelectedItem(Row);
    if (mSelected)
        mSelected(mStruct->SelectedIndex());
}

void frmDispStructFind::cmdProcurar_Click() {
    CListViewManager* list = mStruct;
    bool restarted = false;
    for (;;) {
        const QString pattern = TrimBlanks(txtFind->text()).toLower();
        int start;
        if (restarted) {
            start = 1;
        } else if (optInicio->isChecked()) {
            start = 1;
            Option1->setChecked(true);
        } else {
            start = (list ? list->SelectedIndex() : 0) + 1;
        }
        const int count = list ? list->Count() : 0;
        for (int row = start; row <= count; ++row) {
            const QString name =
                TrimBlanks(list->GetColumnValue(QStringLiteral("Name"), row).toString()).toLower();
            if (LikePattern(name, pattern)) {
                SelectRow(row);
                return;
            }
        }
        bool again = false;
        if (mSearchPass == 0) {
            MsgBox(QStringLiteral("Atingiu a Última Coluna."), vbInformation);
            again = ShowListDialog(QStringLiteral("Deseja Procurar Apartir do Ínicio?"),
                                   {QStringLiteral("Sim"), QStringLiteral("Não")}) == 1;
        }
        if (!again) {
            done(Rejected);
            return;
        }
        if (list && list->Count() > 0)
            SelectRow(1);
        ++mSearchPass;
        if (mSearchPass > 1) {
            done(Rejected);
            return;
        }
        restarted = true;
    }
}

void frmDispStructFind::cmdCancelar_Click() {
    done(Rejected);
}
