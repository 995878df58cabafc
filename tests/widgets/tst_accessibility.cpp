#include "channel/channelwindow.h"
#include "chat/chatview.h"
#include "controls/sablecoolbutton.h"
#include "controls/xpbutton.h"
#include "irc/ircsession.h"
#include "platform/settingsstore.h"
#include "session/sessionvariables.h"
#include "text/appendformatted.h"
#include "text/chatbuffer.h"

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>

// What assistive technology reads: the conversation views' text with codes left out, their
// caret, selection and boundaries, one announcement per batch of new lines, and the names of
// the controls; and the keyboard reaching, selecting and copying the text.
class TestAccessibility : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void viewReadsAsItsShownText();
    void boundaries_data();
    void boundaries();
    void selectionAndCaretGoBothWays();
    void newLinesAreAnnouncedOncePerBatch();
    void controlsHaveNames_data();
    void controlsHaveNames();
    void ownerDrawnButtonsReadAsButtons();
    void keyboardSelectsAndCopies();

private:
    QTemporaryDir m_settingsDir;
};

namespace {

struct View
{
    ChatBuffer buffer;
    ChatView view;
    View()
    {
        view.setBuffer(&buffer);
        view.resize(400, 300);
        view.show();
        for (const char16_t *line : {u"\x02plain\x02 first",
                                     u"\x03"
                                     "4,12second \x1dline\x1d",
                                     u"third and last"})
            AppendFormatted(buffer, QStringView(line));
        QCoreApplication::processEvents();
    }
    QAccessibleInterface *accessible() { return QAccessible::queryAccessibleInterface(&view); }
    QAccessibleTextInterface *text() { return accessible()->textInterface(); }
};

const QString kShown = QStringLiteral("plain first\nsecond line\nthird and last");

struct Announcement
{
    int position;
    QString text;
};
} // namespace

void TestAccessibility::initTestCase()
{
    SettingsStore::setCurrent(
        SettingsStore(m_settingsDir.filePath(QStringLiteral("settings.json"))));
}

void TestAccessibility::viewReadsAsItsShownText()
{
    View v;
    QAccessibleInterface *view = v.accessible();
    QVERIFY(view && view->textInterface());
    QCOMPARE(view->role(), QAccessible::EditableText);
    QVERIFY(view->state().readOnly);
    QVERIFY(view->state().multiLine);
    QCOMPARE(v.text()->characterCount(), kShown.size());
    QCOMPARE(v.text()->text(0, v.text()->characterCount()), kShown);
    QCOMPARE(view->text(QAccessible::Value), kShown);
    QCOMPARE(v.text()->text(6, 18), QStringLiteral("first\nsecond"));

    v.buffer.clear();
    QCOMPARE(v.text()->characterCount(), 0);
    QCOMPARE(v.text()->text(0, 10), QString());
}

void TestAccessibility::boundaries_data()
{
    using B = QAccessible::TextBoundaryType;
    QTest::addColumn<int>("offset");
    QTest::addColumn<B>("boundary");
    QTest::addColumn<int>("which"); // -1 before, 0 at, 1 after
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    // "plain first\nsecond line\nthird and last": line 2 starts at 12, line 3 at 24.
    QTest::newRow("line at") << 14 << B::LineBoundary << 0 << "second line\n" << 12;
    QTest::newRow("line before") << 14 << B::LineBoundary << -1 << "plain first\n" << 0;
    QTest::newRow("line after") << 14 << B::LineBoundary << 1 << "third and last" << 24;
    QTest::newRow("last line at") << 30 << B::LineBoundary << 0 << "third and last" << 24;
    QTest::newRow("word at") << 20 << B::WordBoundary << 0 << "line" << 19;
    QTest::newRow("word after, across the line end") << 20 << B::WordBoundary << 1 << "\n" << 23;
    QTest::newRow("char at") << 12 << B::CharBoundary << 0 << "s" << 12;
    QTest::newRow("everything") << 5 << B::NoBoundary << 0 << kShown << 0;
}

void TestAccessibility::boundaries()
{
    QFETCH(int, offset);
    QFETCH(QAccessible::TextBoundaryType, boundary);
    QFETCH(int, which);
    View v;
    int start = -1;
    int end = -1;
    const QString found = which < 0   ? v.text()->textBeforeOffset(offset, boundary, &start, &end)
                          : which > 0 ? v.text()->textAfterOffset(offset, boundary, &start, &end)
                                      : v.text()->textAtOffset(offset, boundary, &start, &end);
    QTEST(found, "text");
    QTEST(start, "start");
    QCOMPARE(end, start + found.size());
}

void TestAccessibility::selectionAndCaretGoBothWays()
{
    View v;
    v.text()->setSelection(0, 6, 18);
    QCOMPARE(v.view.selectedText(), QStringLiteral("first\nsecond"));
    int start = 0;
    int end = 0;
    v.text()->selection(0, &start, &end);
    QCOMPARE(std::pair(start, end), std::pair(6, 18));
    QCOMPARE(v.text()->selectionCount(), 1);
    QCOMPARE(v.text()->cursorPosition(), 18);

    v.view.selectAll();
    v.text()->selection(0, &start, &end);
    QCOMPARE(std::pair(start, end), std::pair(0, int(kShown.size())));

    v.text()->removeSelection(0);
    QCOMPARE(v.text()->selectionCount(), 0);
    v.text()->setCursorPosition(25);
    QCOMPARE(v.text()->cursorPosition(), 25);

    // Shown characters have a place on screen, and that place leads back to them.
    const QRect rect = v.text()->characterRect(12);
    QVERIFY(!rect.isEmpty());
    QCOMPARE(v.text()->offsetAtPoint(rect.center() - QPoint(rect.width() / 4, 0)), 12);
}

void TestAccessibility::newLinesAreAnnouncedOncePerBatch()
{
    View v;
    // The offscreen platform has no assistive technology to hear the events: listen as one.
    QList<Announcement> heard;
    ChatView::setAnnouncementListener([&heard](const QAccessibleTextInsertEvent &event) {
        QCOMPARE(event.type(), QAccessible::TextInserted);
        heard.append({event.changePosition(), event.textInserted()});
    });

    for (int i = 0; i < 500; ++i)
        AppendFormatted(v.buffer, QStringLiteral("\x02new\x02 %1").arg(i));
    QTRY_COMPARE(heard.size(), 1);
    QCOMPARE(heard[0].position, int(kShown.size()));
    QVERIFY(heard[0].text.startsWith(u"\nnew 0\nnew 1\n"_qs));
    QVERIFY(heard[0].text.endsWith(u"\nnew 499"_qs));
    QCOMPARE(v.text()->characterCount(), kShown.size() + heard[0].text.size());
    QCOMPARE(v.text()->text(heard[0].position, v.text()->characterCount()), heard[0].text);

    AppendFormatted(v.buffer, QStringLiteral("one more"));
    QTRY_COMPARE(heard.size(), 2);
    QCOMPARE(heard[1].position, int(kShown.size() + heard[0].text.size()));
    QCOMPARE(heard[1].text, QStringLiteral("\none more"));
    ChatView::setAnnouncementListener({});
}

void TestAccessibility::controlsHaveNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("accessibleName");
    QTest::newRow("room view") << "datain" << QAccessible::EditableText << "Room conversation";
    QTest::newRow("topic view") << "rtbtopic" << QAccessible::EditableText << "Topic";
    QTest::newRow("input box") << "dataout" << QAccessible::EditableText << "Message to the room";
    QTest::newRow("member list") << "lstnicks" << QAccessible::List << "Nickname List";
    QTest::newRow("send button") << "cmdsend" << QAccessible::Button << "Send";
}

void TestAccessibility::controlsHaveNames()
{
    QFETCH(QString, name);
    SessionVariables vars{QStringLiteral("alice"), QString(), QStringLiteral("#velmora"), 0};
    IrcSession session(vars);
    ChannelWindow window(session);
    window.show();
    QWidget *control = window.findChild<QWidget *>(name);
    QVERIFY(control);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
    QVERIFY(accessible);
    QTEST(accessible->role(), "role");
    QTEST(accessible->text(QAccessible::Name), "accessibleName");
}

void TestAccessibility::ownerDrawnButtonsReadAsButtons()
{
    XPButton xp(QStringLiteral("Sm&ily"));
    SableCoolButton cool(QStringLiteral("Block"));
    for (QWidget *button : {static_cast<QWidget *>(&xp), static_cast<QWidget *>(&cool)}) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(button);
        QCOMPARE(accessible->role(), QAccessible::Button);
        QVERIFY(accessible->actionInterface());
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(&xp)->text(QAccessible::Name), u"Smily"_qs);
    QCOMPARE(QAccessible::queryAccessibleInterface(&cool)->text(QAccessible::Name), u"Block"_qs);
}

void TestAccessibility::keyboardSelectsAndCopies()
{
    View v;
    QVERIFY(v.view.focusPolicy() & Qt::TabFocus);

    // Nothing chosen: Shift+arrows start from the end, where the newest lines are.
    QTest::keyClick(&v.view, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(&v.view, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(&v.view, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(&v.view, Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(v.view.selectedText(), QStringLiteral("last"));
    QTest::keyClick(&v.view, Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(v.view.selectedText(), QStringLiteral("e\nthird and last"));
    QTest::keyClick(&v.view, Qt::Key_Home, Qt::ShiftModifier);
    QCOMPARE(v.view.selectedText(), QStringLiteral("second line\nthird and last"));

    QGuiApplication::clipboard()->clear();
    QTest::keyClick(&v.view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("second line\nthird and last"));

    QTest::keyClick(&v.view, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(v.view.selectedText(), kShown);
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
