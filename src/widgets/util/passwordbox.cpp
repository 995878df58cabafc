#include "passwordbox.h"

#include <QLineEdit>

void showPasswordAsStars(QLineEdit *box)
{
    box->setEchoMode(QLineEdit::Password);
    // A style sheet rather than a style of the box's own: it follows the application's style,
    // even one set after the box was made. 42 is "*".
    box->setStyleSheet(box->styleSheet() + QStringLiteral("lineedit-password-character: 42;"));
}
