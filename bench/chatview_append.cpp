// Appends 100,000 formatted lines to a shown chat view, letting it paint every 500 lines, and
// prints the rate and the process's peak memory.

#include "chat/chatview.h"
#include "text/appendformatted.h"
#include "text/chatbuffer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <array>
#include <cstdio>
#include <vector>

namespace {

constexpr int kLines = 100000;
constexpr int kPaintEvery = 500;
constexpr int kDistinctLines = 1000; // formatted once up front, so the timing is the view's

QString peakResidentMemory()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return QStringLiteral("unknown");
    QTextStream in(&status);
    for (QString line = in.readLine(); !line.isNull(); line = in.readLine()) {
        if (line.startsWith(QLatin1String("VmHWM:")))
            return line.mid(6).trimmed();
    }
    return QStringLiteral("unknown");
}

// Lines shaped like a busy channel: nicknames in colour, some bold, underline and reverse.
QString sampleLine(int i)
{
    static const std::array<QString, 6> nicks = {
        QStringLiteral("alice"), QStringLiteral("bob"),  QStringLiteral("carol_"),
        QStringLiteral("dave"),  QStringLiteral("erin"), QStringLiteral("frank`away")};
    static const std::array<QString, 5> messages = {
        QStringLiteral("has anyone tried the new build? it crashed twice on startup for me"),
        QStringLiteral("\x02important:\x02 the meeting moves to \x1f"
                       "Thursday\x1f at 18:00 UTC"),
        QStringLiteral("see https://example.org/issues/%1 for the details"),
        QStringLiteral("\x03"
                       "4,1 red on black \x0f and back to normal, then \x16reversed\x16 text"),
        QStringLiteral("lol")};
    const QString &nick = nicks[size_t(i) % nicks.size()];
    QString message = messages[size_t(i / 7) % messages.size()];
    if (message.contains(QLatin1String("%1")))
        message = message.arg(i);
    return QStringLiteral("[%1:%2] <\x03%3%4\x03> %5")
        .arg(i / 60 % 24, 2, 10, QLatin1Char('0'))
        .arg(i % 60, 2, 10, QLatin1Char('0'))
        .arg(2 + i % 11, 2, 10, QLatin1Char('0'))
        .arg(nick, message);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    ChatBuffer buffer;
    ChatView view;
    view.setBuffer(&buffer);
    view.resize(800, 600);
    view.show();
    QApplication::processEvents();

    std::vector<QString> lines;
    lines.reserve(kDistinctLines);
    for (int i = 0; i < kDistinctLines; ++i)
        lines.push_back(sampleLine(i));

    const QString before = peakResidentMemory();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kLines; ++i) {
        AppendFormatted(buffer, lines[size_t(i % kDistinctLines)]);
        if ((i + 1) % kPaintEvery == 0)
            QApplication::processEvents();
    }
    QApplication::processEvents();
    const qint64 ns = timer.nsecsElapsed();

    const double seconds = double(ns) / 1e9;
    std::printf("lines appended:   %d (painting every %d)\n", kLines, kPaintEvery);
    std::printf("total time:       %.3f s\n", seconds);
    std::printf("rate:             %.0f lines/s\n", kLines / seconds);
    std::printf("per line:         %.2f us\n", double(ns) / 1e3 / kLines);
    std::printf("peak RSS before:  %s\n", qPrintable(before));
    std::printf("peak RSS after:   %s\n", qPrintable(peakResidentMemory()));
    return view.isAtBottom() && buffer.lineCount() == kLines ? 0 : 1;
}
