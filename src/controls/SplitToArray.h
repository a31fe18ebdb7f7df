#pragma once

#include <QString>
#include <QStringList>

// Splits `Text` at `Delim` into `Parts` from position 0, pieces untrimmed. A piece goes into
// the last position when that holds empty text, else into a new one after it (so an empty
// piece is overwritten by the next); nothing is placed for a delimiter that ends the text.
// A blank text gives False and one empty element.
bool SplitToArray(const QString& Text, const QString& Delim, QStringList& Parts);
