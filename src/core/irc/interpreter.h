#pragma once

#include "membershipbranches.h"
#include "messagebranches.h"
#include "numericbranches.h"
#include "parsedline.h"

#include <QHash>
#include <QString>

#include <functional>
#include <vector>

class IrcSession;

// Turns each received line into its effect: parses it, matches its command word without regard
// to case against one table in a fixed order, and runs the first matching branch. Commands the
// table does not name are shown as they are, in the room view.
class Interpreter
{
public:
    explicit Interpreter(IrcSession &session);

    void interpret(QString line);
    // Shows the parameters from the second on in colour 10.
    void defaultDisplay(const ParsedLine &line);

private:
    using Branch = std::function<void(const ParsedLine &)>;
    struct Row
    {
        QString command;
        Branch branch;
    };

    void addRow(QStringView command, Branch branch);

    IrcSession &m_session;
    MessageBranches m_messages;
    MembershipBranches m_membership;
    NumericBranches m_numerics;
    std::vector<Row> m_rows;
    QHash<QString, int> m_rowOfCommand;
};
