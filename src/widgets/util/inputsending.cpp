#include "inputsending.h"

#include "irc/composition.h"
#include "messageboxes.h"

#include <QLineEdit>
#include <QPointer>

namespace inputsending {

void sendInput(QLineEdit &input, bool connected, std::function<bool(const QString &)> send)
{
    const QString text = input.text();
    const qsizetype count = messageLines(text).size();
    if (!connected || count <= LinesWithoutAsking) {
        if (send(text))
            input.clear();
        return;
    }
    messageboxes::askYesNo(
        input.window(), QStringLiteral("pastequestion"), QStringLiteral("Velmora Messenger"),
        QStringLiteral("You are about to send %1 lines. Do you wish to continue?").arg(count),
        [box = QPointer<QLineEdit>(&input), text, send = std::move(send)] {
            if (send(text) && box && box->text() == text)
                box->clear();
        });
}

} // namespace inputsending
