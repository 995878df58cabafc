#include "chat/chatview.h"
#include "text/appendformatted.h"
#include "text/chatbuffer.h"

#include <QBoxLayout>
#include <QTest>

namespace {

const QRgb kMarkerRed = qRgb(204, 0, 0);

bool isActive(QWidget *window)
{
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

} // namespace

// The line that marks where the lines that came while a chat view's window was inactive begin.
class TestUnreadMarker : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void markerAboveFirstUnseenLine_data();
    void markerAboveFirstUnseenLine();
    void nextDeactivationMovesIt();
    void clearingForgetsIt();

private:
    void append(int count)
    {
        for (int i = 0; i < count; ++i)
            AppendFormatted(m_buffer, QStringLiteral("line %1").arg(m_buffer.lineCount()));
        QTest::qWait(50); // the view takes its lines in
    }
    // Rows of marker red at the top of a line's place.
    bool markerDrawnAt(int line) const
    {
        const QRect rect = m_view->lineRect(line);
        if (rect.isNull())
            return false;
        const QImage image = m_view->viewport()->grab().toImage();
        for (int x = 0; x < image.width(); x += 7) {
            if ((image.pixel(x, rect.top()) & RGB_MASK) != (kMarkerRed & RGB_MASK))
                return false;
        }
        return true;
    }
    bool markerDrawnAnywhere() const
    {
        for (int line = 0; line < m_buffer.lineCount(); ++line) {
            if (markerDrawnAt(line))
                return true;
        }
        return false;
    }

    ChatBuffer m_buffer;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<QWidget> m_other;
    ChatView *m_view = nullptr;
};

void TestUnreadMarker::init()
{
    m_buffer.clear();
    m_buffer.setBasePointSize(10);
    m_window = std::make_unique<QWidget>();
    m_view = new ChatView(m_window.get());
    (new QVBoxLayout(m_window.get()))->addWidget(m_view);
    m_view->setBuffer(&m_buffer);
    m_window->resize(300, 400);
    m_window->show();
    m_other = std::make_unique<QWidget>();
    m_other->resize(100, 100);
    m_other->show();
    QVERIFY(isActive(m_window.get()));
}

void TestUnreadMarker::cleanup()
{
    m_window.reset();
    m_other.reset();
}

void TestUnreadMarker::markerAboveFirstUnseenLine_data()
{
    QTest::addColumn<int>("seen");
    QTest::addColumn<int>("unseen");
    QTest::addColumn<int>("marker"); // -1: none

    QTest::newRow("lines came while away") << 5 << 3 << 5;
    QTest::newRow("the first lines of all") << 0 << 4 << 0;
    QTest::newRow("nothing came") << 5 << 0 << -1;
}

void TestUnreadMarker::markerAboveFirstUnseenLine()
{
    QFETCH(int, seen);
    QFETCH(int, unseen);
    QFETCH(int, marker);
    append(seen);
    QVERIFY(isActive(m_other.get()));
    append(unseen);
    QCOMPARE(m_view->unreadMarkerLine(), -1); // set when the user comes back
    QVERIFY(isActive(m_window.get()));
    QCOMPARE(m_view->unreadMarkerLine(), marker);
    if (marker >= 0)
        QTRY_VERIFY(markerDrawnAt(marker));
    else
        QVERIFY(!markerDrawnAnywhere());
    // Lines that come while the window is active change nothing.
    append(2);
    QCOMPARE(m_view->unreadMarkerLine(), marker);
}

void TestUnreadMarker::nextDeactivationMovesIt()
{
    append(4);
    QVERIFY(isActive(m_other.get()));
    append(2);
    QVERIFY(isActive(m_window.get()));
    QCOMPARE(m_view->unreadMarkerLine(), 4);

    QVERIFY(isActive(m_other.get()));
    QCOMPARE(m_view->unreadMarkerLine(), -1);
    QTRY_VERIFY(!markerDrawnAnywhere());
    append(3);
    QVERIFY(isActive(m_window.get()));
    QCOMPARE(m_view->unreadMarkerLine(), 6);
    QTRY_VERIFY(markerDrawnAt(6));
    QVERIFY(!markerDrawnAt(4));
}

void TestUnreadMarker::clearingForgetsIt()
{
    append(4);
    QVERIFY(isActive(m_other.get()));
    append(2);
    m_view->clear();
    append(3);
    QVERIFY(isActive(m_window.get()));
    QCOMPARE(m_view->unreadMarkerLine(), 0);
    m_view->clear();
    QCOMPARE(m_view->unreadMarkerLine(), -1);
}

QTEST_MAIN(TestUnreadMarker)
#include "tst_unreadmarker.moc"
