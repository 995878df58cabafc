// Searches 100,000 formatted lines for a text that is not there (the longest search: every
// line is read), matching case and ignoring it, and prints the median time of several runs.

#include "text/appendformatted.h"
#include "text/chatbuffer.h"
#include "text/chatsearch.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kLines = 100000;
constexpr int kRuns = 7;

double medianMs(const ChatBuffer &buffer, const ChatSearch &search)
{
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer clock;
        clock.start();
        const ChatMatch found = search.forward(buffer, 0, 0);
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (found.isValid())
            std::printf("unexpected match on line %d\n", found.line);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ChatBuffer buffer;
    for (int i = 0; i < kLines; ++i) {
        AppendFormatted(buffer, QStringLiteral("[%1:%2] <\x03%3nick%4\x03> see https://example.org/"
                                               "issues/%5 for the d\u00e9tails, \x02really\x02")
                                    .arg(i / 60 % 24)
                                    .arg(i % 60)
                                    .arg(2 + i % 11)
                                    .arg(i % 7)
                                    .arg(i));
    }
    std::printf("%d lines, median of %d runs\n", kLines, kRuns);
    std::printf("matching case:  %.1f ms\n",
                medianMs(buffer, ChatSearch(QStringLiteral("nowhere"), Qt::CaseSensitive)));
    std::printf("ignoring case:  %.1f ms\n",
                medianMs(buffer, ChatSearch(QStringLiteral("nowhere"), Qt::CaseInsensitive)));
    // Nothing to sift the lines by without decoding them: the slowest case.
    std::printf("ignoring case, text beyond ASCII only:  %.1f ms\n",
                medianMs(buffer, ChatSearch(QStringLiteral("\u65e5\u672c"), Qt::CaseInsensitive)));
    return 0;
}
