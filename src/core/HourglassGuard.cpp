#include "core/HourglassGuard.h"

#include <QApplication>

HourglassGuard::HourglassGuard() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        active_ = true;
    }
}

HourglassGuard::~HourglassGuard() {
    restore();
}

void HourglassGuard::restore() {
    if (active_) {
        QApplication::restoreOverrideCursor();
        active_ = false;
    }
}
