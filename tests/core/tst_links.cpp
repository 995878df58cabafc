#include "irc/linktarget.h"
#include "text/appendformatted.h"
#include "text/chatbuffer.h"
#include "text/linkdetector.h"

#include <QtTest>

// Addresses found in chat lines, and what a click on one does.
class TestLinks : public QObject
{
    Q_OBJECT
private slots:
    void found_data();
    void found();
    void quickTestSaysNoOnlyWithoutLinks_data();
    void quickTestSaysNoOnlyWithoutLinks();
    void longLinesStayCheap();
    void storedWithTheLine();
    void target_data();
    void target();
};

namespace {

// "start:text" for each link, so a table row names both.
QStringList describe(const QString &text, const auto &links)
{
    QStringList out;
    for (const auto &link : links)
        out << u"%1:%2"_qs.arg(link.start).arg(text.mid(link.start, link.length));
    return out;
}

} // namespace

void TestLinks::found_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("links");

    QTest::newRow("none") << u"no address here: a://b www x.www.y"_qs << QStringList();
    QTest::newRow("none, nor anything like one") << u"ww. w.w.w: /:/ ü://"_qs << QStringList();
    QTest::newRow("every scheme")
        << u"http://a.b https://c.d/e ftp://f.g irc://h.i/#j ircs://k.l:6697/m"_qs
        << QStringList{"0:http://a.b", "11:https://c.d/e", "25:ftp://f.g", "35:irc://h.i/#j",
                       "48:ircs://k.l:6697/m"};
    QTest::newRow("scheme in any case")
        << u"HTTPS://X.ORG/Path"_qs << QStringList{"0:HTTPS://X.ORG/Path"};
    QTest::newRow("www") << u"see www.example.org/a?b=c#d now"_qs
                         << QStringList{"4:www.example.org/a?b=c#d"};
    QTest::newRow("trailing punctuation")
        << u"http://a.b/c. www.d.e, http://f.g; http://h.i: http://j.k! http://l.m? "
           "http://n.o/p..."_qs
        << QStringList{"0:http://a.b/c", "14:www.d.e",    "23:http://f.g",  "35:http://h.i",
                       "47:http://j.k",  "59:http://l.m", "71:http://n.o/p"};
    QTest::newRow("inner punctuation stays")
        << u"http://a.b/c.d?e=f,g;h:1!x"_qs << QStringList{"0:http://a.b/c.d?e=f,g;h:1!x"};
    QTest::newRow("brackets around")
        << u"(see http://a.b/c) [www.d.e] {http://f.g}"_qs
        << QStringList{"5:http://a.b/c", "20:www.d.e", "30:http://f.g"};
    QTest::newRow("brackets matched inside")
        << u"(http://w.org/A_(b))."_qs << QStringList{"1:http://w.org/A_(b)"};
    QTest::newRow("stoppers") << u"<http://a.b>\"http://c.d\"x\thttp://e.f\u00a0z"_qs
                              << QStringList{"1:http://a.b", "13:http://c.d", "26:http://e.f"};
    QTest::newRow("non-ASCII path") << u"http://a.b/\u00fcber\U0001F600 x"_qs
                                    << QStringList{u"0:http://a.b/\u00fcber\U0001F600"_qs};
    QTest::newRow("nothing after the scheme") << u"http:// http://. www. www.."_qs << QStringList();
    QTest::newRow("glued to a word")
        << u"xhttp://a.b awww.c.d a.www.e.f me@www.g.h"_qs << QStringList();
    QTest::newRow("unknown scheme") << u"gopher://a.b file:///etc mailto://x"_qs << QStringList();
    QTest::newRow("address after scheme letters")
        << u"Xhttp://a.b:http://c.d"_qs << QStringList{"12:http://c.d"};
    QTest::newRow("www inside an address is not a second one")
        << u"http://www.a.b/www.c"_qs << QStringList{"0:http://www.a.b/www.c"};
}

void TestLinks::found()
{
    QFETCH(QString, text);
    QFETCH(QStringList, links);
    QCOMPARE(describe(text, findLinks(text)), links);
    // The quick test never says no where there is a link.
    QVERIFY(links.isEmpty() || mayHoldLinks(text.toUtf8()));
}

// Long runs of what could end an address must not make the scan quadratic.
void TestLinks::quickTestSaysNoOnlyWithoutLinks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("may");
    QTest::newRow("plain") << u"just words. and: colons / slashes"_qs << false;
    QTest::newRow("near misses") << u"ww. w.w.w: :/ / :"_qs << false;
    QTest::newRow("scheme") << u"a://"_qs << true;
    QTest::newRow("www any case") << u"x WwW."_qs << true;
    QTest::newRow("after non-ASCII") << u"ü😀www.a"_qs << true;
}

void TestLinks::quickTestSaysNoOnlyWithoutLinks()
{
    QFETCH(QString, text);
    QFETCH(bool, may);
    QCOMPARE(mayHoldLinks(text.toUtf8()), may);
}

void TestLinks::longLinesStayCheap()
{
    const QString closers = u"http://a.b/"_qs + QString(60000, u')');
    const QString dots = u"www.a"_qs + QString(60000, u'.');
    const QString schemes = u"http:// www. "_qs.repeated(10000);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(describe(closers, findLinks(closers)), QStringList{"0:http://a.b/"});
    QCOMPARE(describe(dots, findLinks(dots)), QStringList{"0:www.a"});
    QCOMPARE(findLinks(schemes).size(), size_t(0));
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
}

// The buffer keeps each line's links as positions in its visible text, after formatting codes
// are taken out.
void TestLinks::storedWithTheLine()
{
    ChatBuffer buffer;
    AppendFormatted(buffer, u"\x02<bob>\x02 \x03"
                            "4go to http://a.b/\x1f"
                            "c\x1f now"_qs);
    AppendFormatted(buffer, u"nothing"_qs);
    AppendFormatted(buffer, u"www.x.y and ftp://z.w"_qs);
    QCOMPARE(describe(buffer.lineText(0), buffer.lineLinks(0)), QStringList{"12:http://a.b/c"});
    QVERIFY(buffer.lineLinks(1).empty());
    QCOMPARE(describe(buffer.lineText(2), buffer.lineLinks(2)),
             (QStringList{"0:www.x.y", "12:ftp://z.w"}));
    buffer.clear();
    AppendFormatted(buffer, u"http://again.org"_qs);
    QCOMPARE(describe(buffer.lineText(0), buffer.lineLinks(0)), QStringList{"0:http://again.org"});
}

void TestLinks::target_data()
{
    using A = LinkTarget::Action;
    QTest::addColumn<QString>("address");
    QTest::addColumn<LinkTarget::Action>("action");
    QTest::addColumn<QString>("result"); // the URL, or the room joined

    QTest::newRow("web") << u"https://a.b/c?d#e"_qs << A::OpenInBrowser << u"https://a.b/c?d#e"_qs;
    QTest::newRow("www gets http") << u"www.a.b/c"_qs << A::OpenInBrowser << u"http://www.a.b/c"_qs;
    QTest::newRow("ftp") << u"ftp://f.g/h"_qs << A::OpenInBrowser << u"ftp://f.g/h"_qs;
    QTest::newRow("this room") << u"irc://irc.velmora.chat/velmora"_qs << A::JoinRoom
                               << u"#velmora"_qs;
    QTest::newRow("this room, any case, encoded, over TLS")
        << u"ircs://IRC.Velmora.Chat:6697/%23VELMORA"_qs << A::JoinRoom << u"#velmora"_qs;
    QTest::newRow("this network, no room")
        << u"irc://irc.velmora.chat"_qs << A::JoinRoom << u"#velmora"_qs;
    QTest::newRow("this network, other room")
        << u"irc://irc.velmora.chat/#fun_club"_qs << A::StartInstance
        << u"irc://irc.velmora.chat/#fun_club"_qs;
    QTest::newRow("other network, same room name")
        << u"irc://irc.example.net/velmora"_qs << A::StartInstance
        << u"irc://irc.example.net/velmora"_qs;
    QTest::newRow("irc without host") << u"irc:///velmora"_qs << A::None << QString();
    QTest::newRow("irc with bad characters") << u"irc://a b/c"_qs << A::None << QString();
}

void TestLinks::target()
{
    QFETCH(QString, address);
    QFETCH(LinkTarget::Action, action);
    QFETCH(QString, result);
    const LinkTarget target = linkTarget(address, u"irc.velmora.chat"_qs, u"#velmora"_qs);
    QCOMPARE(target.action, action);
    QCOMPARE(action == LinkTarget::Action::JoinRoom ? target.room : target.url.toString(), result);
}

QTEST_APPLESS_MAIN(TestLinks)
#include "tst_links.moc"
