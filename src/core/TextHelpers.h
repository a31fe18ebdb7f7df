#pragma once
// Small text and check-box helpers.

#include <QString>
#include <Qt>

// Check-box values as the program stores them: 1 on, 0 off, 2 greyed.
int BoolToCheck(bool value);
bool CheckToBool(int value);
// Between those values and Qt's check states (Qt::PartiallyChecked is 1, Qt::Checked is 2).
Qt::CheckState CheckToQt(int value);
int QtToCheck(Qt::CheckState state);

// Every carriage return and line feed replaced by the first character of `mask` (none
// replaced when the mask is empty); the result trimmed of blanks at both ends.
QString MaskLineBreaks(const QString& text, const QString& mask);
// Every apostrophe turned into a grave accent, before a text goes into T-SQL.
QString ReplaceApostrophes(const QString& text);
// Blanks (spaces) trimmed at both ends, as Trim does; tabs and line breaks stay.
QString TrimBlanks(const QString& text);
