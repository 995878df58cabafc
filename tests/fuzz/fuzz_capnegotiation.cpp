// Feeds arbitrary bytes as server lines to a SASL sign-in in progress, starting it again
// whenever it ends: nothing may crash or hang, and every line it answers with must be one
// protocol line of its own (no CR, LF or NUL) of the two commands it speaks.
#include "irc/capnegotiation.h"
#include "irc/lineframer.h"
#include "irc/parsedline.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

namespace {
QCoreApplication *g_app = nullptr;

bool wellFormed(const QString &line)
{
    if (!line.startsWith(u"CAP ") && !line.startsWith(u"AUTHENTICATE "))
        return false;
    for (const QChar c : line)
        if (c == u'\r' || c == u'\n' || c == u'\0')
            return false;
    return line.size() <= 13 + CapNegotiation::ChunkBytes;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    g_app = new QCoreApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CapNegotiation negotiation;
    QObject::connect(&negotiation, &CapNegotiation::lineToSend, [](const QString &line) {
        if (!wellFormed(line))
            __builtin_trap();
    });
    const QString nick = QStringLiteral("alice");
    const QString password = QStringLiteral("secret");
    negotiation.start(nick, password);
    LineFramer framer;
    framer.feed(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)),
                [&](QString line) {
                    line.remove(u'\n');
                    ParsedLine record;
                    ParseLine(line, record);
                    negotiation.handle(record);
                    if (!negotiation.isActive())
                        negotiation.start(nick, password);
                });
    return 0;
}
