#include "messageboxes.h"

#include <QInputDialog>

namespace messageboxes {

QMessageBox *inform(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                    const QString &text, const QString &objectName)
{
    auto *box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
    if (!objectName.isEmpty())
        box->setObjectName(objectName);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}

QMessageBox *askYesNo(QWidget *parent, const QString &objectName, const QString &title,
                      const QString &question, std::function<void()> onYes)
{
    auto *box = new QMessageBox(QMessageBox::Question, title, question,
                                QMessageBox::Yes | QMessageBox::No, parent);
    box->setObjectName(objectName);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box, [box, onYes = std::move(onYes)] {
        if (box->clickedButton() == box->button(QMessageBox::Yes))
            onYes();
    });
    box->open();
    return box;
}

QInputDialog *askText(QWidget *parent, const QString &objectName, const QString &title,
                      const QString &prompt, std::function<void(const QString &)> onAnswer)
{
    auto *box = new QInputDialog(parent);
    box->setObjectName(objectName);
    box->setWindowTitle(title);
    box->setLabelText(prompt);
    box->setTextValue(QString());
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QInputDialog::textValueSelected, box, std::move(onAnswer));
    box->open();
    return box;
}

} // namespace messageboxes
