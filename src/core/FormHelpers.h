#pragma once
// Helpers shared by the windows: placement, help context, focus and enabling.

#include <QString>

class QObject;
class QWidget;

// A control's Tag text (a dynamic property "Tag").
QString Tag(const QObject* control);
void SetTag(QObject* control, const QString& tag);

// A window's or control's help context number (a dynamic property "HelpContextID").
int HelpContextID(const QObject* control);
void SetHelpContextID(QObject* control, int id);

// Centres `frm` on the screen (no parent), or per axis over `parent` when the parent is at
// least as large, else aligned with the parent's left or top edge.
void CenterForm(QWidget* frm, QWidget* parent = nullptr);
// Keeps a child window inside its parent's area: no larger than it, and moved back in where
// it reaches past an edge.
void FitInParent(QWidget* frm);
// Gives a child window the main window's icon and assigns its caption again.
void SetupChildForm(QWidget* frm);
// Every control of the window gets the window's own help context number.
void SetHelpContext(QWidget* frm);
// Lets pending events run, focuses the control, lets events run again and selects its text.
void SelectAllText(QWidget* control);
// Sets the enabled state of the controls inside `container` (see FormHelpers.cpp).
void EnableControls(QWidget* frm, QWidget* container, bool enabled, bool recurse);
