#pragma once
// The edit-control line messages, answered by a Qt text editor (QTextEdit or QPlainTextEdit).
// A line is a paragraph; character indexes count one character per line break, as the
// editor's document does. Any other widget answers 0.

#include <QtGlobal>

#include <functional>

class QWidget;

enum EditMessage : unsigned {
    EM_LINEINDEX = 0x00BB,
    EM_LINELENGTH = 0x00C1,
    EM_GETLINE = 0x00C4,
    EM_LINEFROMCHAR = 0x00C9,
};

// EM_LINEFROMCHAR (wParam: character index; -1 the caret's line, past the end the last line),
// EM_LINEINDEX (wParam: line; -1 the caret's line; a line that does not exist gives -1),
// EM_LINELENGTH (wParam: character index; -1 the unselected characters on the selection's
// lines; past the end 0),
// EM_GETLINE (wParam: line; lParam: a char16_t buffer whose first element holds how many
// characters it takes; copies at most that many, no terminating zero; returns the number
// copied).
qint32 SendEditMessage(QWidget* editor, unsigned msg, qintptr wParam, void* lParam = nullptr);

// Sees every message before it is answered (tests): the message, wParam and lParam.
using EditMessageObserver = std::function<void(unsigned msg, qintptr wParam, const void* lParam)>;
EditMessageObserver SetEditMessageObserver(EditMessageObserver observer);
