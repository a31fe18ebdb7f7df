#include "core/FormHelpers.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>
#include <QVariant>

QString Tag(const QObject* control) {
    return control ? control->property("Tag").toString() : QString();
}

void SetTag(QObject* control, const QString& tag) {
    if (control)
        control->setProperty("Tag", tag);
}

int HelpContextID(const QObject* control) {
    return control ? control->property("HelpContextID").toInt() : 0;
}

void SetHelpContextID(QObject* control, int id) {
    if (control)
        control->setProperty("HelpContextID", id);
}

void CenterForm(QWidget* frm, QWidget* parent) {
    if (!frm)
        return;
    const QRect f = frm->frameGeometry();
    QPoint pos;
    if (!parent) {
        const QScreen* screen = frm->screen() ? frm->screen() : QGuiApplication::primaryScreen();
        if (!screen)
            return;
        const QRect s = screen->availableGeometry();
        pos = {s.left() + (s.width() - f.width()) / 2, s.top() + (s.height() - f.height()) / 2};
    } else {
        // In the parent's coordinate space when frm is its child, else on the screen.
        const QRect p = frm->isWindow() ? parent->frameGeometry() : parent->rect();
        pos.setX(p.width() >= f.width() ? p.left() + (p.width() - f.width()) / 2 : p.left());
        pos.setY(p.height() >= f.height() ? p.top() + (p.height() - f.height()) / 2 : p.top());
    }
    frm->move(pos);
}

void FitInParent(QWidget* frm) {
    if (!frm || !frm->parentWidget())
        return;
    const QRect area = frm->parentWidget()->rect();
    QRect g = frm->geometry();
    g.setSize(g.size().boundedTo(area.size()).expandedTo(frm->minimumSize()));
    if (g.right() > area.right())
        g.moveRight(area.right());
    if (g.bottom() > area.bottom())
        g.moveBottom(area.bottom());
    if (g.left() < area.left())
        g.moveLeft(area.left());
    if (g.top() < area.top())
        g.moveTop(area.top());
    frm->setGeometry(g);
}

void SetupChildForm(QWidget* frm) {
    if (!frm)
        return;
    QWidget* main = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QMainWindow") && w != frm) {
            main = w;
            break;
        }
    if (main)
        frm->setWindowIcon(main->windowIcon());
    frm->setWindowTitle(frm->windowTitle());
}

void SetHelpContext(QWidget* frm) {
    if (!frm)
        return;
    const int id = HelpContextID(frm);
    for (QWidget* w : frm->findChildren<QWidget*>())
        SetHelpContextID(w, id);
}

void SelectAllText(QWidget* control) {
    if (!control)
        return;
    QCoreApplication::processEvents();
    control->setFocus();
    QCoreApplication::processEvents();
    if (auto* e = qobject_cast<QLineEdit*>(control))
        e->selectAll();
    else if (auto* t = qobject_cast<QTextEdit*>(control))
        t->selectAll();
    else if (auto* p = qobject_cast<QPlainTextEdit*>(control))
        p->selectAll();
    else if (auto* s = qobject_cast<QAbstractSpinBox*>(control))
        s->selectAll();
    else if (auto* c = qobject_cast<QComboBox*>(control); c && c->lineEdit())
        c->lineEdit()->selectAll();
}

namespace {

// Frames, tab controls and plain panels hold controls; they are not changed themselves.
bool isContainer(const QWidget* w) {
    if (qobject_cast<const QGroupBox*>(w) || qobject_cast<const QTabWidget*>(w) ||
        qobject_cast<const QStackedWidget*>(w) || qobject_cast<const QSplitter*>(w) ||
        qobject_cast<const QScrollArea*>(w))
        return true;
    const char* cls = w->metaObject()->className();
    return qstrcmp(cls, "QWidget") == 0 || qstrcmp(cls, "QFrame") == 0;
}

// The controls placed directly in a container: a tab control's pages, a scroll area's panel,
// otherwise the child widgets (menus are reached through their actions).
QList<QWidget*> controlsIn(QWidget* container) {
    QList<QWidget*> out;
    if (auto* tabs = qobject_cast<QTabWidget*>(container)) {
        for (int i = 0; i < tabs->count(); ++i)
            out << tabs->widget(i);
        return out;
    }
    if (auto* area = qobject_cast<QScrollArea*>(container)) {
        if (area->widget())
            out << area->widget();
        return out;
    }
    for (QObject* o : container->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && !w->isWindow() && !qobject_cast<QMenuBar*>(w) && !qobject_cast<QMenu*>(w))
            out << w;
    }
    return out;
}

bool isSpared(const QObject* o) {
    const QString name = o->objectName().toUpper();
    return name == QLatin1String("CMDFECHAR") || name == QLatin1String("CMDCANCELAR");
}

} // namespace

// Controls placed directly in `container` get `enabled`, except those tagged "0" and the close
// and cancel buttons; containers are left as they are and, with `recurse`, their own controls
// are treated the same way. The window's named actions (menu items) have no container and are
// always set, as the original did.
void EnableControls(QWidget* frm, QWidget* container, bool enabled, bool recurse) {
    if (!frm || !container)
        return;
    for (QWidget* w : controlsIn(container)) {
        if (Tag(w) == QLatin1String("0"))
            continue;
        if (isContainer(w)) {
            if (recurse)
                EnableControls(frm, w, enabled, recurse);
        } else if (!isSpared(w)) {
            w->setEnabled(enabled);
        }
    }
    for (QAction* a : frm->findChildren<QAction*>()) {
        const QString name = a->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("_q_")) ||
            Tag(a) == QLatin1String("0") || isSpared(a))
            continue;
        a->setEnabled(enabled);
    }
}
