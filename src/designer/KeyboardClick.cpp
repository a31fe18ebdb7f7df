// A button's access key or Enter takes the focus first, as the mouse click would.
#include "designer/KeyboardClick.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace {

// Moves the focus to Button as a click would; false when a leave check kept it elsewhere.
bool TakeFocus(QAbstractButton* button) {
    if (!(button->focusPolicy() & Qt::ClickFocus) || button->hasFocus())
        return true;
    button->setFocus(Qt::ShortcutFocusReason);
    return QApplication::focusWidget() == button;
}

} // namespace

void KeyboardClick::Install(QWidget* Window) {
    auto* filter = new KeyboardClick(Window);
    for (QAbstractButton* button : Window->findChildren<QAbstractButton*>())
        button->installEventFilter(filter);
}

bool KeyboardClick::eventFilter(QObject* watched, QEvent* event) {
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (!button)
        return false;
    if (event->type() == QEvent::Shortcut)
        return !TakeFocus(button); // a refused leave swallows the key
    if (event->type() == QEvent::KeyPress && qobject_cast<QPushButton*>(button)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            button->animateClick();
            return true;
        }
    }
    return false;
}
