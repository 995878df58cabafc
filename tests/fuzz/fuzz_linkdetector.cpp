// Looks for addresses in arbitrary text and checks what comes out: links lie inside the text,
// in order and apart, begin with a scheme or "www.", hold no blank and end in no trailing
// punctuation; deciding what a click on each would do never fails.
#include "irc/linktarget.h"
#include "text/linkdetector.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::vector<LinkRange> links = findLinks(text);
    if (!links.empty() && !mayHoldLinks(text.toUtf8()))
        __builtin_trap();
    qsizetype next = 0;
    for (const LinkRange &link : links) {
        if (link.start < next || link.length <= 0 || link.start + link.length > text.size())
            __builtin_trap();
        next = link.start + link.length;
        const QStringView found = QStringView(text).sliced(link.start, link.length);
        const bool known = found.startsWith(u"www.", Qt::CaseInsensitive) || found.contains(u"://");
        if (!known || QStringView(u".,;:!?").contains(found.back()))
            __builtin_trap();
        for (QChar c : found) {
            if (c.isSpace() || c.unicode() < 0x20 || c == u'<' || c == u'>' || c == u'"')
                __builtin_trap();
        }
        const LinkTarget target =
            linkTarget(found.toString(), QStringLiteral("irc.velmora.chat"), u"#velmora"_qs);
        if (target.action == LinkTarget::Action::JoinRoom && target.room != u"#velmora"_qs)
            __builtin_trap();
    }
    return 0;
}
