#include "interpreter.h"

#include "irc/ircsession.h"
#include "render/appendformatted.h"
#include "render/formatcodes.h"

Interpreter::Interpreter(IrcSession &session)
    : m_session(session), m_messages(session), m_numerics(session)
{
    const Branch shown = [this](const ParsedLine &r) { defaultDisplay(r); };
    auto numeric = [this](void (NumericBranches::*handler)(const ParsedLine &)) -> Branch {
        return [this, handler](const ParsedLine &r) { (m_numerics.*handler)(r); };
    };

    // The order decides which branch runs; rows still marked `shown` display the line as is.
    addRow(u"notice", shown);
    addRow(u"ping", [this](const ParsedLine &r) { m_messages.ping(r); });
    addRow(u"privmsg", shown);
    addRow(u"nick", shown);
    addRow(u"quit", shown);
    addRow(u"kick", shown);
    addRow(u"join", shown);
    addRow(u"part", shown);
    addRow(u"353", shown);
    addRow(u"mode", shown);
    for (const char16_t *command : {u"topic", u"332", u"333"})
        addRow(command, shown);
    for (const char16_t *command : {u"366", u"512", u"297", u"401", u"404"})
        addRow(command, shown);
    addRow(u"376", numeric(&NumericBranches::endOfGreeting));
    addRow(u"422", numeric(&NumericBranches::noGreeting));
    for (const char16_t *command :
         {u"433", u"474", u"311", u"352", u"313", u"312", u"317", u"318", u"319", u"367", u"368",
          u"377", u"378", u"432", u"error", u"kill", u"324", u"329"})
        addRow(command, shown);
}

void Interpreter::addRow(QStringView command, Branch branch)
{
    const QString key = command.toString();
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
    const auto row = m_rowOfCommand.constFind(record.Command.toLower());
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
    AppendFormatted(m_session.roomView(), QString(u"\x03"
                                                  u"10 "_qs +
                                                  text));
}
