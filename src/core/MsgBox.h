#pragma once
// Message boxes. In the program MsgBox shows a QMessageBox; tests install a handler
// (see ScriptedMsgBox) that records each call and answers it, so no dialog opens.

#include <QString>

#include <functional>

// Style bits, added together: buttons + icon + default button.
enum MsgBoxStyle {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton1 = 0,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512,
};

// Answers: the button the user pressed.
enum MsgBoxResult {
    vbOK = 1,
    vbCancel = 2,
    vbAbort = 3,
    vbRetry = 4,
    vbIgnore = 5,
    vbYes = 6,
    vbNo = 7,
};

// The program's title, used when a message box is given none.
QString AppTitle();

// Shows a modal message box; returns the pressed button (MsgBoxResult).
// An empty title means the program's title, "Varnolt".
int MsgBox(const QString& text, int style = 0, const QString& title = {});

// One call as the user would see it (the title already defaulted).
struct MsgBoxCall {
    QString text;
    int style = 0;
    QString title;

    int icon() const { return style & 0x70; }    // 16, 32, 48, 64 or 0
    int buttons() const { return style & 0x0F; } // vbOKOnly ... vbRetryCancel
};

using MsgBoxHandler = std::function<int(const MsgBoxCall&)>;

// Replaces the handler of every later MsgBox call and returns the previous one;
// an empty handler restores the real message box.
MsgBoxHandler SetMsgBoxHandler(MsgBoxHandler handler);

// The answer pressing Enter gives: the style's default button.
int MsgBoxDefaultAnswer(int style);
