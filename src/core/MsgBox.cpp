#include "core/MsgBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <vector>

namespace {

MsgBoxHandler& handler() {
    static MsgBoxHandler h;
    return h;
}

// The buttons of a style, in the order they are shown.
std::vector<int> buttonsOf(int style) {
    switch (style & 0x0F) {
    case vbOKCancel:
        return {vbOK, vbCancel};
    case vbAbortRetryIgnore:
        return {vbAbort, vbRetry, vbIgnore};
    case vbYesNoCancel:
        return {vbYes, vbNo, vbCancel};
    case vbYesNo:
        return {vbYes, vbNo};
    case vbRetryCancel:
        return {vbRetry, vbCancel};
    default:
        return {vbOK};
    }
}

QMessageBox::StandardButton toStandard(int answer) {
    switch (answer) {
    case vbCancel:
        return QMessageBox::Cancel;
    case vbAbort:
        return QMessageBox::Abort;
    case vbRetry:
        return QMessageBox::Retry;
    case vbIgnore:
        return QMessageBox::Ignore;
    case vbYes:
        return QMessageBox::Yes;
    case vbNo:
        return QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

QString captionOf(int answer) {
    switch (answer) {
    case vbCancel:
        return QStringLiteral("Cancelar");
    case vbAbort:
        return QStringLiteral("&Abortar");
    case vbRetry:
        return QStringLiteral("&Repetir");
    case vbIgnore:
        return QStringLiteral("&Ignorar");
    case vbYes:
        return QStringLiteral("&Sim");
    case vbNo:
        return QStringLiteral("&Não");
    default:
        return QStringLiteral("OK");
    }
}

QMessageBox::Icon iconOf(int style) {
    switch (style & 0x70) {
    case vbCritical:
        return QMessageBox::Critical;
    case vbQuestion:
        return QMessageBox::Question;
    case vbExclamation:
        return QMessageBox::Warning;
    case vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int showDialog(const MsgBoxCall& call) {
    QMessageBox box(iconOf(call.style), call.title, call.text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    const std::vector<int> answers = buttonsOf(call.style);
    const int def = MsgBoxDefaultAnswer(call.style);
    for (int a : answers) {
        QPushButton* b = box.addButton(toStandard(a));
        b->setText(captionOf(a));
        if (a == def)
            box.setDefaultButton(b);
    }
    // Closing the box counts as Cancel when there is one, else as its only button.
    const bool hasCancel = std::find(answers.begin(), answers.end(), vbCancel) != answers.end();
    if (hasCancel)
        box.setEscapeButton(box.button(QMessageBox::Cancel));
    else if (answers.size() == 1)
        box.setEscapeButton(box.button(toStandard(answers.front())));
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (int a : answers)
        if (clicked && clicked == box.button(toStandard(a)))
            return a;
    return hasCancel ? vbCancel : def;
}

} // namespace

QString AppTitle() {
    return QStringLiteral("Varnolt");
}

int MsgBoxDefaultAnswer(int style) {
    const std::vector<int> answers = buttonsOf(style);
    const std::size_t n = (style & vbDefaultButton3) ? 2 : (style & vbDefaultButton2) ? 1 : 0;
    return answers[std::min(n, answers.size() - 1)];
}

MsgBoxHandler SetMsgBoxHandler(MsgBoxHandler h) {
    MsgBoxHandler previous = std::move(handler());
    handler() = std::move(h);
    return previous;
}

int MsgBox(const QString& text, int style, const QString& title) {
    const MsgBoxCall call{text, style, title.isEmpty() ? AppTitle() : title};
    if (handler())
        return handler()(call);
    return showDialog(call);
}
