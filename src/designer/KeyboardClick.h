#pragma once
// Access keys and Enter on a window's buttons act as a mouse click does: the focus moves to
// the button first, so that the box being left runs its leave check; when that check keeps
// the focus, the key does nothing.

#include <QObject>

class QWidget;

class KeyboardClick : public QObject {
    Q_OBJECT
public:
    // Watches every button inside Window (check boxes included; Enter only clicks push
    // buttons).
    static void Install(QWidget* Window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit KeyboardClick(QObject* parent) : QObject(parent) {}
};
