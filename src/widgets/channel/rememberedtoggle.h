#pragma once

#include <QString>

class QAction;

// A checkable item of File -> &Setting whose state is kept among the user's settings: checked
// as stored (or as byDefault when nothing says otherwise) and written back each time it is
// switched, so that it holds for the next start too. Returns the state it was checked with;
// what the switch does is connected by the caller.
bool rememberToggle(QAction *toggle, const QString &name, bool byDefault);
