#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QInputDialog;
class QWidget;

// The program's message and input boxes. Every one is opened with open(), never run with
// exec(): the event loop goes on behind it, so lines (PINGs included) keep arriving while the
// user reads or answers. Each box deletes itself when it closes.
namespace messageboxes {

// A box with an OK button. An empty objectName leaves the box unnamed.
QMessageBox *inform(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                    const QString &text, const QString &objectName = {});

// A Yes/No question; onYes runs only when the user answers Yes.
QMessageBox *askYesNo(QWidget *parent, const QString &objectName, const QString &title,
                      const QString &question, std::function<void()> onYes);

// A line of text; onAnswer gets the text as typed (possibly empty) when the user presses OK.
QInputDialog *askText(QWidget *parent, const QString &objectName, const QString &title,
                      const QString &prompt, std::function<void(const QString &)> onAnswer);

} // namespace messageboxes
