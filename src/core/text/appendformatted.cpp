#include "appendformatted.h"

#include "chatbuffer.h"
#include "formatscan.h"
#include "ircstyle.h"

namespace {

// The view and its log are always given the same line.
void appendLine(ChatBuffer &view, QStringView text)
{
    if (LineLog *log = view.log())
        log->write(text);
    // One scratch line reused for every call: appending never allocates per run.
    static FormattedLine scratch;
    scanFormatted(text, scratch);
    view.appendLine(scratch, view.basePointSize());
}

} // namespace

bool AppendFormatted(ChatBuffer &view, QStringView text)
{
    if (text.isEmpty())
        return true;
    if (text.size() <= LongestFormattedLine) {
        appendLine(view, text);
        return true;
    }
    qsizetype cut = LongestFormattedLine;
    if (text[cut - 1].isHighSurrogate())
        --cut;
    appendLine(view, text.first(cut));
    appendLine(view,
               ircstyle::colour(4) + QStringLiteral(" *** The line above was too long: its last %1 "
                                                    "characters are not shown.")
                                         .arg(text.size() - cut));
    return false;
}
