// The table designer: controls, single instance, layout, closing and the small helpers.
#include "designer/frmDispStruct.h"
#include "core/PassOver.h"

#include "controls/CListViewManager.h"
#include "core/FormHelpers.h"
#include "core/MsgBox.h"
#include "core/Twips.h"
#include "designer/KeyboardClick.h"
#include "designer/M_MainMod.h"
#include "designer/clsIndexesCOL.h"
#include "dmo/Database.h"
#include "dmo/SQLServer.h"
#include "dmo/Table.h"

#include "designer/frmDispStructFind.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <cmath>

QPointer<frmDispStruct> frmDispStruct::s_default;

namespace {

// Designed inner area of the window and its minimum outer size, twips.
constexpr int kDesignWidth = 10500;
constexpr int kDesignHeight = 7800;
constexpr int kMinWidth = 9795;
constexpr int kMinHeight = 5190;
constexpr int kControlosHeight = 2700;
constexpr int kBotoesHeight = 500;
constexpr int kUpDownHeight = 900;
// The least height of the column list when the fonts make the window taller.
constexpr int kMinListHeight = 900;

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(width),
                 TwipsToPixelsY(height));
}

QMdiArea* mainMdiArea() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* main = qobject_cast<QMainWindow*>(w))
            if (auto* mdi = qobject_cast<QMdiArea*>(main->centralWidget()))
                return mdi;
    return nullptr;
}

// The key picture of the image list, drawn once.
QIcon keyIcon() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(160, 120, 0), 2));
    p.setBrush(QColor(240, 200, 40));
    p.drawEllipse(QRectF(1.5, 4.5, 7, 7));
    p.drawLine(QPointF(8.5, 8), QPointF(15, 8));
    p.drawLine(QPointF(12.5, 8), QPointF(12.5, 12));
    p.drawLine(QPointF(14.5, 8), QPointF(14.5, 11));
    return QIcon(pm);
}

QIcon columnIcon() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(60, 60, 120));
    p.setBrush(QColor(200, 210, 240));
    p.drawRect(QRect(4, 1, 8, 13));
    p.drawLine(4, 5, 12, 5);
    p.drawLine(4, 9, 12, 9);
    return QIcon(pm);
}

// Eats the mouse click in progress, its press and then its release, as its widgets receive
// them (the window's own handling of the buttons is left alone). Gone once the click is eaten,
// when another press comes first, or when no press follows at all.
class ClickEater : public QObject {
public:
    static void EatCurrentClick() {
        auto* eater = new ClickEater;
        qApp->installEventFilter(eater);
        QTimer::singleShot(0, eater, [eater] {
            if (!eater->mPressEaten)
                eater->deleteLater();
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWidgetType())
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (!mPressEaten) {
                mPressEaten = true;
                return true;
            }
            finish();
            return false;
        case QEvent::MouseButtonRelease:
            if (!mPressEaten)
                return false;
            finish();
            return true;
        default:
            return false;
        }
    }

private:
    void finish() {
        qApp->removeEventFilter(this);
        deleteLater();
    }
    bool mPressEaten = false;
};

template <class T> T* named(QWidget* parent, const char* name) {
    auto* w = new T(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

} // namespace

frmDispStruct* frmDispStruct::Default() {
    if (!s_default) {
        auto* form = new frmDispStruct;
        s_default = form;
        form->setAttribute(Qt::WA_DeleteOnClose);
        const QSize inner(TwipsToPixelsX(kDesignWidth), TwipsToPixelsY(kDesignHeight));
        form->resize(inner);
        if (QMdiArea* mdi = mainMdiArea()) {
            QMdiSubWindow* sub = mdi->addSubWindow(form);
            sub->setAttribute(Qt::WA_DeleteOnClose);
            sub->resize(
                sub->sizeHint().boundedTo(mdi->viewport()->size().expandedTo(QSize(640, 400))));
        }
        form->Form_Load();
    }
    return s_default;
}

bool frmDispStruct::Loaded() {
    return !s_default.isNull();
}

void frmDispStruct::Open(const QString& Modo, const std::shared_ptr<dmo::SQLServer>& Server,
                         const QString& Database, QString& Table, const QString& Owner) {
    Default()->ShowStructure(Modo, Server, Database, Table, Owner);
}

frmDispStruct::frmDispStruct(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmDispStruct"));
    BuildControls();
}

frmDispStruct::~frmDispStruct() {
    // A window destroyed without a close event (shutdown) still gives the server back, but
    // leaves the other windows alone.
    if (!mUnloaded)
        Form_QueryUnload(false);
}

QSize frmDispStruct::sizeHint() const {
    return QSize(TwipsToPixelsX(kDesignWidth), TwipsToPixelsY(kDesignHeight));
}

void frmDispStruct::BuildControls() {
    imgListStruct = {columnIcon(), keyIcon()};

    fraBotoes = named<QFrame>(this, "fraBotoes");
    const struct {
        QPushButton** button;
        const char* name;
        const char* caption;
    } buttons[] = {
        {&cmdGravar, "cmdGravar", "&Gravar"},
        {&cmdProcurar, "cmdProcurar", "Proc&urar"},
        {&cmdRemovePK, "cmdRemovePK", "Rem. Cha&ve"},
        {&cmdPK, "cmdPK", "Def. C&have"},
        {&cmdIdx, "cmdIdx", "In&díces"},
        {&cmdEliminar, "cmdEliminar", "Elimina&r"},
        {&cmdNova, "cmdNova", "&Nova"},
    };
    int left = 120;
    for (const auto& b : buttons) {
        *b.button = named<QPushButton>(fraBotoes, b.name);
        (*b.button)->setText(QString::fromUtf8(b.caption));
        (*b.button)->setGeometry(twipsRect(left, 60, 1200, 375));
        left += 1290;
    }
    fraBotoes->setGeometry(twipsRect(0, 120, left + 120, kBotoesHeight));

    fraList = named<QFrame>(this, "fraList");
    lvwStructure = named<QTreeWidget>(fraList, "lvwStructure");
    lvwStructure->move(0, 0);
    fraUpDown = named<QFrame>(fraList, "fraUpDown");
    fraUpDown->resize(TwipsToPixelsX(330), TwipsToPixelsY(kUpDownHeight));
    cmdUp = named<QToolButton>(fraUpDown, "cmdUp");
    cmdUp->setArrowType(Qt::UpArrow);
    cmdUp->setToolTip(QString::fromUtf8("Mover o Ítem Acima"));
    cmdUp->setGeometry(twipsRect(0, 0, 330, 420));
    cmdDown = named<QToolButton>(fraUpDown, "cmdDown");
    cmdDown->setArrowType(Qt::DownArrow);
    cmdDown->setToolTip(QString::fromUtf8("Mover o Ítem Abaixo"));
    cmdDown->setGeometry(twipsRect(0, 480, 330, 420));

    fraControlos = named<QFrame>(this, "fraControlos");
    fraControlos->setFrameShape(QFrame::StyledPanel);
    fraControlos->resize(TwipsToPixelsX(kDesignWidth), TwipsToPixelsY(kControlosHeight));
    auto label = [this](QLabel*& l, const char* name, int x, int y, int w) {
        l = named<QLabel>(fraControlos, name);
        l->setGeometry(twipsRect(x, y, w, 255));
    };
    auto line = [this](QLineEdit*& t, const char* name, int x, int y, int w, QWidget* parent) {
        t = named<QLineEdit>(parent ? parent : fraControlos, name);
        t->setGeometry(twipsRect(x, y, w, 315));
    };
    // Column 1: name, type, length, nulls, description, default.
    label(lblColumnName, "lblColumnName", 120, 120, 1700);
    line(txtColumnName, "txtColumnName", 1850, 90, 3000, nullptr);
    label(lblDataType, "lblDataType", 120, 510, 1700);
    cboDataType = named<QComboBox>(fraControlos, "cboDataType");
    cboDataType->setEditable(true);
    cboDataType->setInsertPolicy(QComboBox::NoInsert);
    cboDataType->setMaxVisibleItems(20);
    cboDataType->setGeometry(twipsRect(1850, 480, 3000, 315));
    label(lblLength, "lblLength", 120, 900, 1700);
    line(txtLength, "txtLength", 1850, 870, 900, nullptr);
    chkAllowNulls = named<QCheckBox>(fraControlos, "chkAllowNulls");
    chkAllowNulls->setGeometry(twipsRect(2950, 870, 1900, 315));
    label(lblDescription, "lblDescription", 120, 1290, 1700);
    line(txtDescription, "txtDescription", 1850, 1260, 3000, nullptr);
    label(lblDefaultValue, "lblDefaultValue", 120, 1680, 1700);
    cboDefault = named<QComboBox>(fraControlos, "cboDefault");
    cboDefault->setEditable(true);
    cboDefault->setInsertPolicy(QComboBox::NoInsert);
    cboDefault->setGeometry(twipsRect(1850, 1650, 3000, 315));
    // Column 2: precision, scale, identity, row-guid, formula, collation.
    label(lblPrecision, "lblPrecision", 5100, 120, 1000);
    line(txtPrecision, "txtPrecision", 6150, 90, 700, nullptr);
    label(lblScale, "lblScale", 7000, 120, 800);
    line(txtScale, "txtScale", 7850, 90, 700, nullptr);
    chkIdentity = named<QCheckBox>(fraControlos, "chkIdentity");
    chkIdentity->setGeometry(twipsRect(5100, 480, 1500, 315));
    fraIdentity = named<QFrame>(fraControlos, "fraIdentity");
    fraIdentity->setGeometry(twipsRect(6600, 420, 3900, 420));
    lblIdentitySeed = named<QLabel>(fraIdentity, "lblIdentitySeed");
    lblIdentitySeed->setGeometry(twipsRect(0, 60, 800, 255));
    line(txtSeed, "txtSeed", 850, 30, 800, fraIdentity);
    lblIdentityIncrement = named<QLabel>(fraIdentity, "lblIdentityIncrement");
    lblIdentityIncrement->setGeometry(twipsRect(1750, 60, 1400, 255));
    line(txtIncrement, "txtIncrement", 3150, 30, 700, fraIdentity);
    chkUniqueIdentifier = named<QCheckBox>(fraControlos, "chkUniqueIdentifier");
    chkUniqueIdentifier->setText(QString::fromUtf8("&Identificador Único"));
    chkUniqueIdentifier->setGeometry(twipsRect(5100, 870, 2500, 315));
    label(lblFormula, "lblFormula", 5100, 1290, 1000);
    line(txtFormula, "txtFormula", 6150, 1260, 4050, nullptr);
    label(lblCollation, "lblCollation", 5100, 1680, 1000);
    line(txtCollation, "txtCollation", 6150, 1650, 3600, nullptr);
    cmdPesqCollation = named<QToolButton>(fraControlos, "cmdPesqCollation");
    cmdPesqCollation->setText(QStringLiteral("..."));
    cmdPesqCollation->setGeometry(twipsRect(9800, 1650, 400, 315));
    cmdOK = named<QPushButton>(fraControlos, "cmdOK");
    cmdOK->setText(QStringLiteral("Actuali&zar"));
    cmdOK->setGeometry(twipsRect(7400, 2160, 1350, 375));
    cmdCancelar = named<QPushButton>(fraControlos, "cmdCancelar");
    cmdCancelar->setText(QStringLiteral("&Cancelar"));
    cmdCancelar->setGeometry(twipsRect(8850, 2160, 1350, 375));

    // Handlers: the signals that also fire when code sets a value.
    connect(cboDataType->lineEdit(), &QLineEdit::textEdited, this, [this] { mTypeTyped = true; });
    connect(cboDataType, &QComboBox::editTextChanged, this, [this] { cboDataType_Change(); });
    connect(cboDataType, &QComboBox::activated, this, [this] { cboDataType_Click(); });
    connect(chkAllowNulls, &QCheckBox::stateChanged, this, [this] { chkAllowNulls_Click(); });
    connect(chkIdentity, &QCheckBox::stateChanged, this, [this] { chkIdentity_Click(); });
    connect(chkUniqueIdentifier, &QCheckBox::stateChanged, this,
            [this] { chkUniqueIdentifier_Click(); });
    connect(txtPrecision, &QLineEdit::textChanged, this, [this] { txtPrecision_Change(); });
    // Cancelar drops the editor's values, a refused one too; any other button does nothing
    // while the focus is back in a box whose value was refused.
    connect(cmdCancelar, &QPushButton::clicked, this, &frmDispStruct::cmdCancelar_Click);
    const struct {
        QAbstractButton* button;
        void (frmDispStruct::*handler)();
    } clicks[] = {
        {cmdOK, &frmDispStruct::cmdOK_Click},
        {cmdUp, &frmDispStruct::cmdUp_Click},
        {cmdDown, &frmDispStruct::cmdDown_Click},
        {cmdPesqCollation, &frmDispStruct::cmdPesqCollation_Click},
        {cmdNova, &frmDispStruct::cmdNova_Click},
        {cmdEliminar, &frmDispStruct::cmdEliminar_Click},
        {cmdPK, &frmDispStruct::cmdPK_Click},
        {cmdRemovePK, &frmDispStruct::cmdRemovePK_Click},
        {cmdIdx, &frmDispStruct::cmdIdx_Click},
        {cmdProcurar, &frmDispStruct::cmdProcurar_Click},
        {cmdGravar, &frmDispStruct::cmdGravar_Click},
    };
    for (const auto& c : clicks)
        connect(c.button, &QAbstractButton::clicked, this, [this, handler = c.handler] {
            if (!LeaveRefused())
                (this->*handler)();
        });

    // Got/LostFocus of the editor's boxes, keys and mouse of the list.
    for (QWidget* w : {static_cast<QWidget*>(txtColumnName), static_cast<QWidget*>(txtLength),
                       static_cast<QWidget*>(txtPrecision), static_cast<QWidget*>(txtScale),
                       static_cast<QWidget*>(txtSeed), static_cast<QWidget*>(txtIncrement),
                       static_cast<QWidget*>(txtFormula), static_cast<QWidget*>(cboDataType)})
        w->installEventFilter(this);
    lvwStructure->installEventFilter(this);
    lvwStructure->viewport()->installEventFilter(this);
    KeyboardClick::Install(this);
}

void frmDispStruct::cmdGravar_Click() {
    SaveStruct();
}

// The window that the user moves and sizes: the document area's child window, or this one.
QWidget* frmDispStruct::OuterWindow() const {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        return sub;
    return const_cast<frmDispStruct*>(this);
}

int frmDispStruct::OuterWidthTwips() const {
    const QWidget* outer = OuterWindow();
    const int w = outer->isWindow() ? outer->frameGeometry().width() : outer->width();
    return int(PixelsToTwipsX(w));
}

int frmDispStruct::OuterHeightTwips() const {
    const QWidget* outer = OuterWindow();
    const int h = outer->isWindow() ? outer->frameGeometry().height() : outer->height();
    return int(PixelsToTwipsY(h));
}

void frmDispStruct::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmDispStruct::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FitListHeader();
    Form_Resize();
}

void frmDispStruct::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        FitListHeader();
        Form_Resize();
    }
}

void frmDispStruct::Form_Resize() {
    LayoutControls();
    QWidget* outer = OuterWindow();
    const int outerW = OuterWidthTwips();
    const int outerH = OuterHeightTwips();
    const int innerW = int(PixelsToTwipsX(width()));
    const int innerH = int(PixelsToTwipsY(height()));
    const int controlosH = int(PixelsToTwipsY(fraControlos->height()));
    const int botoesH = int(PixelsToTwipsY(fraBotoes->height()));
    const int listTop = std::max(720, int(PixelsToTwipsY(fraBotoes->geometry().bottom())) + 60);
    // 1. Not smaller than the minimum outer size, nor than the fonts need to show every
    // control whole; the resize comes back here.
    // The list, too, shows all its columns whole.
    const int listLeastW = int(std::ceil(PixelsToTwipsX(ListLeastWidth())));
    const int minW = std::max({kMinWidth, int(PixelsToTwipsX(mContentWidth)) + (outerW - innerW),
                               listLeastW + 850, listLeastW + 680 + (outerW - innerW)});
    const int listLeast =
        std::max(kMinListHeight, int(PixelsToTwipsY(lvwStructure->minimumSizeHint().height())));
    // (a few twips over, for the rounding to whole pixels)
    const int minH = std::max({kMinHeight, controlosH + botoesH + 750 + listLeast + 30,
                               controlosH + 500 + listTop + 60 + listLeast + 30,
                               (outerH - innerH) + listTop + listLeast + controlosH + 150});
    // The window also refuses to be made smaller from now on.
    const QSize least(outer->width() + int(std::ceil((minW - outerW) / TwipsPerPixelX())),
                      outer->height() + int(std::ceil((minH - outerH) / TwipsPerPixelY())));
    if (outer->minimumSize() != least) {
        const QSize before = outer->size();
        outer->setMinimumSize(least);
        // Grown to its new minimum: the resize lays the window out again with its new size.
        if (outer->size() != before) {
            KeepInsideDocumentArea();
            return;
        }
    }
    if (outer->width() < least.width() || outer->height() < least.height()) {
        const QSize grown = outer->size().expandedTo(least);
        QPointer<QWidget> guard(outer);
        QTimer::singleShot(0, this, [this, guard, grown] {
            if (guard && (guard->width() < grown.width() || guard->height() < grown.height()))
                guard->resize(guard->size().expandedTo(grown));
            KeepInsideDocumentArea();
        });
        return;
    }
    // 2-6. Measures on the outer size, positions inside the window, kept inside it where a
    // wide frame or tall fonts would push them out.
    fraList->move(TwipsToPixelsX(120), TwipsToPixelsY(listTop));
    const int controlosTop = std::min(outerH - controlosH - 500, innerH - controlosH - 60);
    fraControlos->setGeometry(0, TwipsToPixelsY(controlosTop), width(), fraControlos->height());
    const int listW = std::max(0, std::min(outerW - 850, innerW - 120 - 500 - 60));
    const int listH =
        std::max(0, std::min(outerH - controlosH - botoesH - 750, controlosTop - listTop - 60));
    lvwStructure->resize(TwipsToPixelsX(listW), TwipsToPixelsY(listH));
    fraList->resize(TwipsToPixelsX(listW + 500), TwipsToPixelsY(listH));
    fraUpDown->move(TwipsToPixelsX(listW + 150),
                    TwipsToPixelsY(listH / 2) - fraUpDown->height() / 2);
    FitNameColumn();
}

void frmDispStruct::closeEvent(QCloseEvent* event) {
    Form_QueryUnload(true);
    QWidget::closeEvent(event);
    // Closed from code: the document area's child window goes with it.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        QMetaObject::invokeMethod(sub, "close", Qt::QueuedConnection);
}

void frmDispStruct::Form_QueryUnload(bool Relist) {
    if (mUnloaded)
        return;
    mUnloaded = true;
    // 1. The list manager's records and the index model go.
    try {
        if (mStructure)
            mStructure->Clear();
    } catch (...) {
    }
    mIndexes.reset();
    // 2. The server connection is renewed.
    try {
        if (mServer) {
            mServer->Disconnect();
            mServer->Connect();
        }
    } catch (...) {
    }
    // 3.
    mDatabase.reset();
    mTable.reset();
    // 4. The dialogs that may stay loaded.
    PassOver([] {
        if (frmDispStructFind::Loaded())
            frmDispStructFind::Unload();
    });
    PassOver([] {
        QString formName = QStringLiteral("frmDispStructIndex");
        if (M_MainMod::IsFormLoaded(formName))
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName().toUpper() == formName)
                    w->close();
    });
    // 5. The next opening starts from a fresh window.
    if (s_default == this)
        s_default = nullptr;
    // 6. The explorer lists its tables again.
    if (Relist) {
        try {
            for (QWidget* w : QApplication::allWidgets()) {
                if (w->objectName() != QLatin1String("frmExplorer"))
                    continue;
                QMetaObject::invokeMethod(w, "mnuTablesRefresh_Click", Qt::DirectConnection);
                if (auto* lvw = w->findChild<QWidget*>(QStringLiteral("lvwExplorer")))
                    lvw->update();
                break;
            }
        } catch (...) {
        }
    }
    mServer.reset();
}

void frmDispStruct::EnableEditing(bool Enabled) {
    for (QWidget* w : fraBotoes->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        w->setEnabled(Enabled);
    fraBotoes->setEnabled(Enabled);
    if (mStructure)
        mStructure->setMultiSelect(Enabled);
}

void frmDispStruct::ReselectItem() {
    if (!mStructure)
        return;
    const int selected = mStructure->SelectedIndex();
    for (int i = 1; i <= mStructure->Count(); ++i)
        if (i != selected)
            mStructure->SetItemSelected(i, false);
}

void frmDispStruct::SetItemIcon(int ItemIndex, int Icon) {
    if (mStructure && Icon >= 1 && Icon <= imgListStruct.size())
        mStructure->SetSmallIcon(ItemIndex, imgListStruct[Icon - 1]);
}

bool frmDispStruct::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lvwStructure && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & Qt::ControlModifier) {
            if (key->key() == Qt::Key_U)
                return lvwStructure_KeyPress(21);
            if (key->key() == Qt::Key_D)
                return lvwStructure_KeyPress(4);
        }
        return false;
    }
    if (watched == lvwStructure->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton)
            lvwStructure_MouseUp(2, mouse->globalPosition().toPoint());
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        SelectAllText_GotFocus(widget);
    } else if (event->type() == QEvent::FocusOut) {
        // Focus taken by another window (a message box) is not a leave of the box.
        // Nor is a leave towards Cancelar, which drops the value.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            QApplication::focusWidget() != cmdCancelar) {
            mLeaveReason = reason;
            if (widget == cboDataType)
                cboDataType_LostFocus();
            else if (widget == txtLength)
                txtLength_LostFocus();
            else if (widget == txtPrecision)
                txtPrecision_LostFocus();
            else if (widget == txtScale)
                txtScale_LostFocus();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmDispStruct::SelectAllText_GotFocus(QWidget* control) {
    // After the mouse press that gave the focus has placed the cursor.
    QPointer<QWidget> guard(control);
    QTimer::singleShot(0, this, [guard] {
        if (!guard || !guard->hasFocus())
            return;
        if (auto* edit = qobject_cast<QLineEdit*>(guard.data()))
            edit->selectAll();
        else if (auto* combo = qobject_cast<QComboBox*>(guard.data()))
            if (combo->lineEdit())
                combo->lineEdit()->selectAll();
    });
}

void frmDispStruct::RefuseLeave(QWidget* Box) {
    const bool clicked = mLeaveReason == Qt::MouseFocusReason;
    FocusBack(Box);
    mRefusedBox = Box;
    if (clicked)
        ClickEater::EatCurrentClick();
}

bool frmDispStruct::LeaveRefused() const {
    return mRefusedBox && QApplication::focusWidget() == mRefusedBox;
}

// Puts the focus back on the control a check refused.
void frmDispStruct::FocusBack(QWidget* control) {
    if (control && control->isEnabled())
        control->setFocus(Qt::OtherFocusReason);
}
