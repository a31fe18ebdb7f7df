#pragma once
// What the T-SQL editor windows share: the editor's font, change and key handling, the
// placement of a child window in the main window's document area, the splitter between
// editor and results, the layout on resize and the tab rule.

#include <QFont>
#include <QRect>
#include <QString>
#include <Qt>

class QFrame;
class QKeyEvent;
class QMdiArea;
class QSize;
class QTabWidget;
class QTextEdit;
class QWidget;
class clsFormataSQL;

namespace SqlEditor {

// Courier New 9.75 pt, the editors' and grids' font.
QFont EditorFont();
// MS Sans Serif 8.25 pt, the windows' own font.
QFont WindowFont();
// A designed place in twips, in pixels.
QRect TwipsRect(int left, int top, int width, int height);

// The main window's document area, when there is one.
QMdiArea* MainMdiArea();
// Sizes a new window to its designed inner area and puts it in the document area (alone
// when there is none); closing the window's frame deletes it.
void AddToDocumentArea(QWidget* form, const QSize& inner);
// The window's frame in the document area, or the window itself.
QWidget* OuterWindow(const QWidget* form);
// The window's outer width and height in twips (frame and caption included).
int OuterWidthTwips(const QWidget* form);
int OuterHeightTwips(const QWidget* form);
// Shows the window (and its frame) without blocking, wholly inside the document area.
void ShowChild(QWidget* form);
// Brings the window to the front of the document area.
void BringToFront(QWidget* form);

// Key codes as the handlers compare them (F1 112, F5 116, Insert 45, letters their capitals),
// the shift state (Shift 1, Ctrl 2, Alt 4) and mouse buttons (left 1, right 2, middle 4).
int KeyCodeOf(const QKeyEvent* event);
int ShiftOf(Qt::KeyboardModifiers modifiers);
int ButtonOf(Qt::MouseButtons buttons);

// The editor's whole text as typed: paragraph ends as line feeds, no-break spaces kept.
QString EditorText(const QTextEdit* editor);
// The editor's selected text (as typed) when at least one character is selected, else its
// whole text.
QString ChosenText(const QTextEdit* editor);
// Hands the caret's line to the formatter; the line's length is measured after trimming its
// blanks when trimLine is true. Errors are passed over.
void EditorChange(clsFormataSQL* formata, QTextEdit* editor, QWidget* tempTextBox, bool trimLine);
// A key release: the editor's colour back to the button-text colour; Ctrl+V and
// Shift+Insert format the whole text. Errors are passed over.
void EditorKeyUp(clsFormataSQL* formata, QTextEdit* editor, int KeyCode, int Shift);

// The controls the layout rule places under and beside the splitter.
struct SplitControls {
    QWidget* form = nullptr;
    QTextEdit* editor = nullptr;
    QFrame* split = nullptr;
    QTabWidget* tabs = nullptr;
    QWidget* grid = nullptr;
    QTextEdit* messages = nullptr;
    int splitHeight = 75; // twips
    int gridMargin = 500; // the tabs' height less the grid's, twips
};
// Lays the controls out for the splitter at splitTop (twips); a rule that would give a
// negative size is skipped.
void ResizeControls(const SplitControls& c, int splitTop);
// The splitter's top after the left button is released: no lower than 2000 twips from the
// window's bottom, then no higher than 2000 from its top.
int ClampSplitTop(int splitTop, int outerHeight);
// Focus to the shown tab's control: the grid (when visible) or the messages.
void TabClick(QTabWidget* tabs, QWidget* grid, QWidget* messages);

} // namespace SqlEditor
