#include "chat/chatview.h"
#include "text/appendformatted.h"
#include "text/chatbuffer.h"

#include <QClipboard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

namespace {

// A shown view with its own buffer.
struct Conversation
{
    ChatBuffer buffer;
    ChatView view;

    explicit Conversation(QSize size = QSize(320, 160))
    {
        buffer.setBasePointSize(11);
        view.setBuffer(&buffer);
        view.resize(size);
        view.show();
    }

    void append(const QStringList &lines)
    {
        for (const QString &line : lines)
            AppendFormatted(buffer, line);
        settle();
    }

    void appendNumbered(int from, int to)
    {
        for (int i = from; i < to; ++i)
            AppendFormatted(buffer, QStringLiteral("line %1").arg(i));
        settle();
    }

    // The view takes new lines in once per frame, every 50 ms.
    static void settle() { QTest::qWait(100); } // a frame, with room to spare

    QImage grabLine(int line) const
    {
        const QRect rect = view.lineRect(line);
        if (rect.isNull())
            return QImage();
        return view.viewport()->grab(rect).toImage().convertToFormat(QImage::Format_RGB32);
    }

    QImage grabAll() const { return view.viewport()->grab().toImage(); }

    QPoint lineStart(int line) const { return QPoint(1, view.lineRect(line).center().y()); }
    QPoint lineEnd(int line) const
    {
        return QPoint(view.viewport()->width() - 2, view.lineRect(line).center().y());
    }
};

int countPixels(const QImage &image, QRgb colour, const QRect &area = QRect())
{
    const QRect rect = area.isNull() ? image.rect() : area;
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += (image.pixel(x, y) & RGB_MASK) == (colour & RGB_MASK);
    }
    return count;
}

QRect boundsOf(const QImage &image, QRgb colour, bool matching)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (((image.pixel(x, y) & RGB_MASK) == (colour & RGB_MASK)) == matching)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// Everything painted that is not the white background.
QRect inkBounds(const QImage &image)
{
    return boundsOf(image, qRgb(255, 255, 255), false);
}

void sendWheel(ChatView &view, int delta)
{
    const QPointF pos(10, 10);
    QWheelEvent event(pos, view.viewport()->mapToGlobal(pos), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view.viewport(), &event);
}

} // namespace

class TestChatView : public QObject
{
    Q_OBJECT
private slots:
    void dragSelectsAcrossLines_data();
    void dragSelectsAcrossLines();
    void dragBelowViewScrollsAndExtends();
    void doubleClickSelectsWord_data();
    void doubleClickSelectsWord();

    void followsNewestLineAndKeepsPlace();
    void hiddenViewCatchesUpWhenShown();
    void wheelScrollsThreeLinesPerNotch_data();
    void wheelScrollsThreeLinesPerNotch();
    void navigationKeysScroll();
    void typedKeysChangeNothing();

    void clearEmptiesView();
    void survivesBufferDeletion();

    void privateViewDrawsAtRoomSize();
    void stylesStayOnTheirLine_data();
    void stylesStayOnTheirLine();
    void colourAndReverseArePainted();
    void backgroundsAndStylesArePainted();

    void singleLineShowsLastLineUnwrapped();
    void singleLineShowsWholeLettersInABoxShorterThanItsLine();
};

void TestChatView::dragSelectsAcrossLines_data()
{
    QTest::addColumn<int>("pressLine");
    QTest::addColumn<bool>("pressAtEnd");
    QTest::addColumn<int>("releaseLine"); // -1: below the view
    QTest::addColumn<bool>("releaseAtEnd");
    QTest::addColumn<QString>("expected");

    QTest::newRow("all lines") << 0 << false << 2 << true << "one two\nthree four\nfive six";
    QTest::newRow("from the second line") << 1 << false << 2 << true << "three four\nfive six";
    QTest::newRow("within one line") << 1 << false << 1 << true << "three four";
    QTest::newRow("dragged upwards") << 2 << true << 0 << true << "\nthree four\nfive six";
    QTest::newRow("released below the view")
        << 0 << false << -1 << false << "one two\nthree four\nfive six";
}

void TestChatView::dragSelectsAcrossLines()
{
    QFETCH(int, pressLine);
    QFETCH(bool, pressAtEnd);
    QFETCH(int, releaseLine);
    QFETCH(bool, releaseAtEnd);
    QFETCH(QString, expected);

    Conversation c;
    QVERIFY(QTest::qWaitForWindowExposed(&c.view));
    c.append({"one two", "three four", "five six"});
    QSignalSpy changed(&c.view, &ChatView::selectionChanged);

    const QPoint press = pressAtEnd ? c.lineEnd(pressLine) : c.lineStart(pressLine);
    const QPoint release = releaseLine < 0 ? QPoint(20, c.view.viewport()->height() + 20)
                           : releaseAtEnd  ? c.lineEnd(releaseLine)
                                           : c.lineStart(releaseLine);
    QTest::mousePress(c.view.viewport(), Qt::LeftButton, {}, press);
    QTest::mouseMove(c.view.viewport(), (press + release) / 2);
    QTest::mouseMove(c.view.viewport(), release);
    QTest::mouseRelease(c.view.viewport(), Qt::LeftButton, {}, release);

    QVERIFY(c.view.hasSelection());
    QCOMPARE(c.view.selectedText(), expected);
    QVERIFY(changed.count() >= 1);

    QGuiApplication::clipboard()->clear();
    QTest::keyClick(&c.view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);

    // A plain click drops the selection.
    QTest::mouseClick(c.view.viewport(), Qt::LeftButton, {}, c.lineStart(0));
    QVERIFY(!c.view.hasSelection());
    QCOMPARE(c.view.selectedText(), QString());
}

void TestChatView::dragBelowViewScrollsAndExtends()
{
    Conversation c;
    QVERIFY(QTest::qWaitForWindowExposed(&c.view));
    c.appendNumbered(0, 200);
    QTest::keyClick(&c.view, Qt::Key_Home);
    QCOMPARE(c.view.verticalScrollBar()->value(), 0);
    const int shown = c.view.verticalScrollBar()->pageStep();

    QTest::mousePress(c.view.viewport(), Qt::LeftButton, {}, c.lineStart(0));
    QTest::mouseMove(c.view.viewport(), QPoint(20, c.view.viewport()->height() + 10));
    QTRY_VERIFY(c.view.verticalScrollBar()->value() >= 3);
    QTest::mouseRelease(c.view.viewport(), Qt::LeftButton, {},
                        QPoint(20, c.view.viewport()->height() + 10));

    const QStringList lines = c.view.selectedText().split(u'\n');
    QVERIFY(lines.size() > shown + 1);
    QCOMPARE(lines.first(), QStringLiteral("line 0"));
    QCOMPARE(lines.last(), QStringLiteral("line %1").arg(lines.size() - 1));
}

void TestChatView::doubleClickSelectsWord_data()
{
    QTest::addColumn<bool>("atLineEnd");
    QTest::addColumn<QString>("expected");

    QTest::newRow("first word") << false << "selectme";
    QTest::newRow("last word") << true << "tail";
}

void TestChatView::doubleClickSelectsWord()
{
    QFETCH(bool, atLineEnd);
    QFETCH(QString, expected);

    Conversation c;
    QVERIFY(QTest::qWaitForWindowExposed(&c.view));
    c.append({"selectme, not this one but the tail"});
    const QRect ink = inkBounds(c.grabLine(0));
    QVERIFY(ink.isValid());
    const int x = atLineEnd ? ink.right() - 3 : ink.left() + 3;

    QTest::mouseDClick(c.view.viewport(), Qt::LeftButton, {},
                       QPoint(x, c.view.lineRect(0).center().y()));
    QCOMPARE(c.view.selectedText(), expected);
}

void TestChatView::followsNewestLineAndKeepsPlace()
{
    Conversation c(QSize(300, 150));
    QVERIFY(QTest::qWaitForWindowExposed(&c.view));
    QScrollBar *bar = c.view.verticalScrollBar();
    const QRect viewport = c.view.viewport()->rect();

    c.appendNumbered(0, 200);
    QVERIFY(c.view.isAtBottom());
    QVERIFY(bar->maximum() > 150);
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(viewport.contains(c.view.lineRect(199)));

    bar->setValue(50);
    QVERIFY(!c.view.isAtBottom());
    const QRect top = c.view.lineRect(50);
    QVERIFY(viewport.contains(top));
    QVERIFY(c.view.lineRect(49).isNull());

    c.appendNumbered(200, 300);
    QCOMPARE(bar->value(), 50);
    QCOMPARE(c.view.lineRect(50), top);
    QVERIFY(c.view.lineRect(299).isNull());
    QVERIFY(!c.view.isAtBottom());

    c.view.scrollToBottom();
    c.appendNumbered(300, 301);
    QVERIFY(c.view.isAtBottom());
    QVERIFY(viewport.contains(c.view.lineRect(300)));
    QCOMPARE(c.view.lineRect(300).bottom(),
             c.view.lineRect(299).bottom() + c.view.lineRect(300).height());
}

void TestChatView::hiddenViewCatchesUpWhenShown()
{
    Conversation c(QSize(300, 150));
    QVERIFY(QTest::qWaitForWindowExposed(&c.view));
    c.view.hide(); // as in a tab in the background

    c.appendNumbered(0, 200);
    c.view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c.view));
    QVERIFY(c.view.verticalScrollBar()->maximum() > 150);
    QVERIFY(c.view.isAtBottom());
    QVERIFY(c.view.viewport()->rect().contains(c.view.lineRect(199)));
}

void TestChatView::wheelScrollsThreeLinesPerNotch_data()
{
    QTest::addColumn<QList<int>>("deltas");
    QTest::addColumn<int>("moved");

    QTest::newRow("one notch up") << QList<int>{120} << -3;
    QTest::newRow("one notch down") << QList<int>{-120} << 3;
    QTest::newRow("two notches up") << QList<int>{120, 120} << -6;
    QTest::newRow("half notches add up") << QList<int>{60, 60} << -3;
    QTest::newRow("half a notch waits") << QList<int>{60} << 0;
}

void TestChatView::wheelScrollsThreeLinesPerNotch()
{
    QFETCH(QList<int>, deltas);
    QFETCH(int, moved);

    Conversation c(QSize(300, 100));
    QVERIFY(QTest::qWaitForWindowExposed(&c.view));
    c.appendNumbered(0, 200);
    QScrollBar *bar = c.view.verticalScrollBar();
    bar->setValue(100);

    for (int delta : deltas)
        sendWheel(c.view, delta);
    QCOMPARE(bar->value(), 100 + moved);
}

void TestChatView::navigationKeysScroll()
{
    Conversation c;
    QVERIFY(QTest::qWaitForWindowExposed(&c.view));
    c.appendNumbered(0, 200);
    QScrollBar *bar = c.view.verticalScrollBar();

    QTest::keyClick(&c.view, Qt::Key_PageUp);
    QCOMPARE(bar->value(), bar->maximum() - bar->pageStep());
    QTest::keyClick(&c.view, Qt::Key_Home);
    QCOMPARE(bar->value(), 0);
    QVERIFY(c.view.lineRect(0).isValid());
    QTest::keyClick(&c.view, Qt::Key_End);
    QVERIFY(c.view.isAtBottom());
    QVERIFY(c.view.lineRect(199).isValid());
}

void TestChatView::typedKeysChangeNothing()
{
    Conversation c;
    QVERIFY(QTest::qWaitForWindowExposed(&c.view));
    c.appendNumbered(0, 50);
    const QImage before = c.grabAll();

    QTest::keyClicks(&c.view, "typed text");
    for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return, Qt::Key_Up})
        QTest::keyClick(&c.view, key);
    QTest::keyClick(&c.view, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&c.view, Qt::Key_X, Qt::ControlModifier);
    QCoreApplication::processEvents();

    QCOMPARE(c.buffer.lineCount(), 50);
    QCOMPARE(c.buffer.lineText(49), QStringLiteral("line 49"));
    QVERIFY(c.view.isAtBottom());
    QCOMPARE(c.grabAll(), before);
}

void TestChatView::clearEmptiesView()
{
    Conversation c;
    QVERIFY(QTest::qWaitForWindowExposed(&c.view));
    c.appendNumbered(0, 100);
    c.view.verticalScrollBar()->setValue(10);
    c.view.selectAll();
    QVERIFY(c.view.hasSelection());
    QSignalSpy changed(&c.view, &ChatView::selectionChanged);

    c.view.clear();
    QCOMPARE(c.buffer.lineCount(), 0);
    QVERIFY(!c.view.hasSelection());
    QCOMPARE(c.view.selectedText(), QString());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(c.view.verticalScrollBar()->value(), 0);
    QCOMPARE(c.view.verticalScrollBar()->maximum(), 0);
    QVERIFY(c.view.isAtBottom());
    QCOMPARE(inkBounds(c.grabAll()), QRect());

    c.append({"after clearing"});
    QVERIFY(c.view.lineRect(0).isValid());
    QVERIFY(inkBounds(c.grabLine(0)).isValid());
}

void TestChatView::survivesBufferDeletion()
{
    ChatView view;
    view.resize(300, 150);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    auto *buffer = new ChatBuffer;
    view.setBuffer(buffer);
    for (int i = 0; i < 100; ++i)
        AppendFormatted(*buffer, QStringLiteral("line %1").arg(i));
    view.selectAll();

    delete buffer;
    QCoreApplication::processEvents();
    QCOMPARE(view.buffer(), nullptr);
    QVERIFY(!view.hasSelection());
    QVERIFY(view.lineRect(0).isNull());
    QCOMPARE(inkBounds(view.viewport()->grab().toImage()), QRect());
}

void TestChatView::privateViewDrawsAtRoomSize()
{
    Conversation room;
    Conversation query;
    query.buffer.setSizeSource(&room.buffer);
    // Only the face of the view's own font counts, not its size or styles.
    QFont larger = query.view.font();
    larger.setPointSize(24);
    larger.setBold(true);
    larger.setUnderline(true);
    query.view.setFont(larger);
    QVERIFY(QTest::qWaitForWindowExposed(&query.view));

    room.append({"Hello from both views"});
    query.append({"Hello from both views"});
    QCOMPARE(query.buffer.pointSizeOf(query.buffer.lineRuns(0)[0]), 11.0);

    const QImage inRoom = room.grabLine(0);
    const QImage inQuery = query.grabLine(0);
    QVERIFY(inkBounds(inRoom).isValid());
    QCOMPARE(inkBounds(inQuery).height(), inkBounds(inRoom).height());
    QCOMPARE(inQuery, inRoom);
}

void TestChatView::stylesStayOnTheirLine_data()
{
    QTest::addColumn<QString>("code");

    QTest::newRow("bold") << "\x02";
    QTest::newRow("underline") << "\x1f";
    QTest::newRow("colour") << "\x03"
                               "4";
    QTest::newRow("reverse") << "\x16";
}

void TestChatView::stylesStayOnTheirLine()
{
    QFETCH(QString, code);

    Conversation mixed;
    Conversation plain;
    QVERIFY(QTest::qWaitForWindowExposed(&plain.view));
    mixed.append({code + "same words", "same words"});
    plain.append({"same words"});

    const QImage reference = plain.grabLine(0);
    QVERIFY(!reference.isNull());
    QVERIFY(mixed.grabLine(0) != reference);
    QCOMPARE(mixed.grabLine(1), reference);
}

void TestChatView::colourAndReverseArePainted()
{
    const QRgb red = qRgb(255, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    Conversation c;
    QVERIFY(QTest::qWaitForWindowExposed(&c.view));
    c.buffer.setBasePointSize(20);
    c.append({"red text",
              "\x03"
              "4red text",
              "\x03"
              "4\x16red text"});

    const QImage plain = c.grabLine(0);
    const QImage coloured = c.grabLine(1);
    const QImage reversed = c.grabLine(2);
    QCOMPARE(countPixels(plain, red), 0);
    QVERIFY(countPixels(coloured, red) > 0);
    QCOMPARE(countPixels(coloured, red), countPixels(coloured, red, inkBounds(coloured)));

    // Reversed: a red block behind the text, with the text in the background colour.
    const QRect block = boundsOf(reversed, red, true);
    QVERIFY(countPixels(reversed, red) > 3 * countPixels(coloured, red));
    QVERIFY(countPixels(reversed, white, block) > 0);
    QVERIFY(block.width() >= inkBounds(coloured).width());
}

void TestChatView::backgroundsAndStylesArePainted()
{
    const QRgb blue = qRgb(0, 0, 255);
    const QRgb orange = qRgb(255, 136, 0);
    Conversation c(QSize(400, 400));
    QVERIFY(QTest::qWaitForWindowExposed(&c.view));
    c.buffer.setBasePointSize(20);
    c.append({"\x03"
              "4,12on blue",
              "\x04"
              "000000,ff8800on orange",
              "plain words",
              "\x1d"
              "plain words",
              "\x1e"
              "plain words",
              "\x11"
              "plain words"});

    // A background fills the run's box, behind and around the letters.
    const QImage onBlue = c.grabLine(0);
    QVERIFY(countPixels(onBlue, blue) > 2 * countPixels(onBlue, qRgb(255, 0, 0)));
    QVERIFY(countPixels(c.grabLine(1), orange) > 0);
    QCOMPARE(countPixels(c.grabLine(2), blue), 0);

    // Italic, strikeout and monospace each draw the same words differently.
    const QImage plain = c.grabLine(2);
    for (int line = 3; line <= 5; ++line)
        QVERIFY2(c.grabLine(line) != plain, qPrintable(QString::number(line)));
}

void TestChatView::singleLineShowsLastLineUnwrapped()
{
    const QString longTopic = QStringLiteral("a topic long enough to need several lines when it is "
                                             "wrapped in a narrow box like this one");
    Conversation topic;
    topic.view.setSingleLine(true);
    topic.view.resize(200, topic.view.sizeHint().height());
    Conversation wrapped(QSize(200, 200));
    QVERIFY(QTest::qWaitForWindowExposed(&topic.view));

    topic.append({"old topic", longTopic});
    wrapped.append({longTopic});

    QVERIFY(!topic.view.verticalScrollBar()->isVisible());
    QVERIFY(topic.view.lineRect(0).isNull());
    const QRect shown = topic.view.lineRect(1);
    QVERIFY(shown.isValid());
    QVERIFY(shown.height() <= topic.view.viewport()->height());
    QVERIFY(topic.view.sizeHint().height() < 2 * shown.height());
    QVERIFY(wrapped.view.lineRect(0).height() >= 2 * shown.height());
}

void TestChatView::singleLineShowsWholeLettersInABoxShorterThanItsLine()
{
    const QString text = QStringLiteral("Hgjpqy Hgjpqy");
    Conversation roomy;
    roomy.view.setSingleLine(true);
    roomy.view.resize(200, roomy.view.sizeHint().height() + 20);
    Conversation shortBox;
    shortBox.view.setSingleLine(true);
    QVERIFY(QTest::qWaitForWindowExposed(&roomy.view));
    roomy.append({text});
    shortBox.append({text});

    // A box with room for the letters but not for the font's whole line box, as a small design
    // height gives with a font whose line box is tall.
    const QImage whole = roomy.grabAll().convertToFormat(QImage::Format_RGB32);
    const QRect letters = inkBounds(whole);
    QVERIFY(letters.isValid());
    const int frame = 2 * shortBox.view.frameWidth();
    shortBox.view.resize(200, letters.height() + 2 + frame);
    Conversation::settle();
    QVERIFY(roomy.view.lineRect(0).height() > shortBox.view.viewport()->height());

    const QImage shown = shortBox.grabAll().convertToFormat(QImage::Format_RGB32);
    const QRect shownLetters = inkBounds(shown);
    QCOMPARE(shownLetters.size(), letters.size());
    QVERIFY(shownLetters.top() > 0 && shownLetters.bottom() < shown.height() - 1);
    QCOMPARE(shown.copy(shownLetters), whole.copy(letters));
}

QTEST_MAIN(TestChatView)
#include "tst_chatview.moc"
