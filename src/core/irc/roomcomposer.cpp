#include "roomcomposer.h"

#include "ircsession.h"
#include "text/appendformatted.h"
#include "text/roomformatting.h"

#include <QRandomGenerator>

RoomComposer::RoomComposer(IrcSession &session, const RoomFormatting &formatting)
    : m_session(session), m_formatting(formatting),
      m_rainbowStart([] { return int(QRandomGenerator::global()->bounded(10)); })
{}

bool RoomComposer::sendRoomMessage(const QString &input)
{
    const SessionVariables &variables = m_session.variables();
    return sendEachLine(m_session.roomView(), input, [&](const QString &line) {
        return composeRoomMessage(line, m_formatting, variables, m_rainbowStart());
    });
}

QString RoomComposer::sendSayAction(int index, const QString &selectedEntry)
{
    if (index < 0 || index > int(SayAction::Slap))
        return {};
    const Composition action =
        composeSayAction(SayAction(index), selectedEntry, m_session.variables());
    if (!action.error.isEmpty())
        return action.error;
    if (!m_session.readyToSend(m_session.roomView()))
        return {};
    m_session.SendData(action.line);
    AppendFormatted(m_session.roomView(), action.echo);
    return {};
}

bool RoomComposer::sendAct(const QString &text)
{
    return echoThenSend(m_session.roomView(), composeAct(text, m_session.variables()));
}

bool RoomComposer::sendPrivateMessage(ChatBuffer &view, const QString &partner,
                                      const QString &input)
{
    const QString &nick = m_session.variables().CurrentNick;
    return sendEachLine(view, input, [&](const QString &line) {
        return composePrivateMessage(line, partner, m_formatting, nick, m_rainbowStart());
    });
}

bool RoomComposer::sendEachLine(ChatBuffer &view, const QString &input,
                                const std::function<Composition(const QString &)> &compose)
{
    const QStringList lines = messageLines(input);
    if (lines.isEmpty() || !m_session.readyToSend(view))
        return false;
    for (const QString &line : lines)
        echoThenSend(view, compose(line));
    return true;
}

bool RoomComposer::echoThenSend(ChatBuffer &view, const Composition &composition)
{
    if (composition.line.isEmpty() || !m_session.readyToSend(view))
        return false;
    AppendFormatted(view, composition.echo);
    m_session.SendData(composition.line);
    return true;
}
