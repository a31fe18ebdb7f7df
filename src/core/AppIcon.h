#pragma once
// The program's own icon: the main window wears it and the child windows take it from there.

#include <QIcon>

// A database drum with a run mark, drawn at the sizes title bars and task bars ask for.
QIcon AppIcon();
