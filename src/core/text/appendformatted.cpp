#include "appendformatted.h"

#include "chatbuffer.h"
#include "formatscan.h"

namespace {
constexpr qsizetype kLongestLine = 32767;
}

bool AppendFormatted(ChatBuffer &view, QStringView text)
{
    if (text.isEmpty())
        return true;
    if (LineLog *log = view.log())
        log->write(text);
    if (text.size() > kLongestLine)
        return false;
    // One scratch line reused for every call: appending never allocates per run.
    static FormattedLine scratch;
    scanFormatted(text, scratch);
    view.appendLine(scratch, view.basePointSize());
    return true;
}
