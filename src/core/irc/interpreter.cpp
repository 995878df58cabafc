#include "interpreter.h"

#include "ircsession.h"
#include "text/appendformatted.h"
#include "text/formatcodes.h"
#include "text/ircstyle.h"

Interpreter::Interpreter(IrcSession &session)
    : m_session(session), m_messages(session), m_membership(session), m_numerics(session)
{
    auto message = [this](void (MessageBranches::*branch)(const ParsedLine &)) -> Branch {
        return [this, branch](const ParsedLine &line) { (m_messages.*branch)(line); };
    };
    auto membership = [this](void (MembershipBranches::*branch)(const ParsedLine &)) -> Branch {
        return [this, branch](const ParsedLine &line) { (m_membership.*branch)(line); };
    };
    auto numeric = [this](void (NumericBranches::*branch)(const ParsedLine &)) -> Branch {
        return [this, branch](const ParsedLine &line) { (m_numerics.*branch)(line); };
    };
    using N = NumericBranches;

    // The order decides which branch runs for a command word; the first row that names it wins.
    addRow(u"notice", message(&MessageBranches::notice));
    addRow(u"ping", message(&MessageBranches::ping));
    // The answer to the keep-alive PING: it has done its work by arriving.
    addRow(u"pong", numeric(&NumericBranches::ignore));
    addRow(u"privmsg", message(&MessageBranches::privmsg));
    addRow(u"nick", membership(&MembershipBranches::nick));
    addRow(u"quit", membership(&MembershipBranches::quit));
    addRow(u"kick", membership(&MembershipBranches::kick));
    addRow(u"join", membership(&MembershipBranches::join));
    addRow(u"part", membership(&MembershipBranches::part));
    addRow(u"353", membership(&MembershipBranches::names));
    addRow(u"mode", membership(&MembershipBranches::mode));
    addRow(u"topic", numeric(&N::topic));
    addRow(u"332", numeric(&N::topicOnJoin));
    addRow(u"333", numeric(&N::topicSetBy));
    addRow(u"366", numeric(&N::endOfNames));
    addRow(u"512", numeric(&N::ignore));
    addRow(u"297", numeric(&N::identifyAsked));
    addRow(u"401", numeric(&N::noSuchNick));
    addRow(u"404", numeric(&N::cannotSend));
    addRow(u"376", numeric(&N::endOfGreeting));
    addRow(u"422", numeric(&N::noGreeting));
    addRow(u"433", numeric(&N::nickInUse));
    addRow(u"474", numeric(&N::banned));
    for (const char16_t *command : {u"311", u"352", u"313", u"312", u"317", u"318", u"319"})
        addRow(command, numeric(&N::whois));
    for (const char16_t *command : {u"367", u"368", u"377", u"378"})
        addRow(command, numeric(&N::ignore));
    addRow(u"432", numeric(&N::invalidNick));
    addRow(u"error", numeric(&N::serverError));
    addRow(u"kill", numeric(&N::killed));
    // The server accepted the sign-in; its welcome is shown as any other line.
    addRow(u"001", [this](const ParsedLine &line) {
        m_session.reconnector().signedIn();
        defaultDisplay(line);
    });
    addRow(u"324", numeric(&N::ignore));
    addRow(u"329", numeric(&N::ignore));
    // Capability negotiation is the session's own business; a stray reply is not shown.
    addRow(u"cap", numeric(&N::ignore));
    addRow(u"authenticate", numeric(&N::ignore));
}

void Interpreter::addRow(QStringView command, Branch branch)
{
    // Keyed in capitals, as servers send commands: looking one up then copies nothing.
    const QString key = command.toString().toUpper();
    m_rows.push_back(Row{key, std::move(branch)});
    if (!m_rowOfCommand.contains(key))
        m_rowOfCommand.insert(key, int(m_rows.size() - 1));
}

void Interpreter::interpret(QString line)
{
    line.remove(u'\n');
    ParsedLine record;
    ParseLine(line, record);
    if (record.Command.isEmpty())
        return;
    // While signing in, the capability and SASL replies belong to the negotiation.
    CapNegotiation &negotiation = m_session.capNegotiation();
    if (negotiation.isActive() && negotiation.handle(record))
        return;
    const auto row = m_rowOfCommand.constFind(record.Command.toUpper());
    if (row == m_rowOfCommand.cend())
        defaultDisplay(record);
    else
        m_rows[size_t(*row)].branch(record);
}

void Interpreter::defaultDisplay(const ParsedLine &line)
{
    if (line.Command.startsWith(u"KICK"))
        return;
    const QString text = GetParams(line, 2, -1);
    if (text.startsWith(FormatCode::Ctcp))
        return;
    AppendFormatted(m_session.roomView(), ircstyle::colour(10) + u' ' + text);
}
