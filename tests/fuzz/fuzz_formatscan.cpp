// Scans arbitrary text for formatting codes and checks what comes out: the runs cover the
// visible text exactly, in order, and no formatting code survives into it.
#include "text/appendformatted.h"
#include "text/chatbuffer.h"
#include "text/formatcodes.h"
#include "text/formatscan.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const FormattedLine line = scanFormatted(text);
    int next = 0;
    for (const FormatRun &run : line.runs) {
        if (run.start != next || run.length <= 0)
            __builtin_trap();
        next += run.length;
    }
    if (next != line.text.size() || line.text.size() > text.size())
        __builtin_trap();
    // No control character but tab is ever shown: formatting codes and the rest alike.
    for (QChar c : line.text) {
        if (c.unicode() < 0x20 && c != u'\t')
            __builtin_trap();
    }
    for (const FormatRun &run : line.runs) {
        if (!run.hasBackground && run.background != 0)
            __builtin_trap();
    }
    static ChatBuffer buffer;
    AppendFormatted(buffer, text);
    if (buffer.lineCount() > 0 && !text.isEmpty() && text.size() <= 32767) {
        if (buffer.lineText(buffer.lineCount() - 1) != line.text.left(0xffff))
            __builtin_trap();
    }
    if (buffer.lineCount() > 10000)
        buffer.clear();
    return 0;
}
