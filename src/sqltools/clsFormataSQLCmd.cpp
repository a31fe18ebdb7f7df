#include "sqltools/clsFormataSQLCmd.h"

#include <QGuiApplication>
#include <QPalette>

QColor clsFormataSQLCmd::ToQColor(qint32 tipo) {
    const quint32 v = quint32(tipo);
    if (v & 0x80000000u) {
        // System colours: only grey text (17) is used; others fall back to window text.
        QPalette pal;
        if ((v & 0xFF) == 17)
            return pal.color(QPalette::Disabled, QPalette::WindowText);
        return pal.color(QPalette::WindowText);
    }
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}
