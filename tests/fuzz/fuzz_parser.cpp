// Feeds arbitrary bytes through framing, parsing and the interpreter of a session that has no
// connection: nothing may crash, hang or read out of bounds.
#include "irc/ircsession.h"
#include "irc/lineframer.h"
#include "irc/parsedline.h"
#include "session/sessionvariables.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

namespace {
QCoreApplication *g_app = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    g_app = new QCoreApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static SessionVariables variables{QStringLiteral("alice"), QString(),
                                      QStringLiteral("#velmora"), 0};
    static IrcSession session(variables);
    LineFramer framer;
    framer.feed(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)),
                [](const QString &line) {
                    ParsedLine record;
                    ParseLine(line, record);
                    for (int first = -1; first <= record.ParamCount + 1 && first < 8; ++first) {
                        const QString joined = GetParams(record, first, -1);
                        if (joined.contains(u'\r'))
                            __builtin_trap();
                    }
                    session.interpret(line);
                });
    if (session.roomView().lineCount() > 10000)
        session.roomView().clear();
    return 0;
}
