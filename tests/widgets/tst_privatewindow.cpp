#include "chat/chatview.h"
#include "controls/sablecoolbutton.h"
#include "controls/xpbutton.h"
#include "dialogs/smileypicker.h"
#include "irc/ircsession.h"
#include "irc/roomcomposer.h"
#include "private/conversationwindow.h"
#include "private/conversationwindows.h"
#include "session/sessionvariables.h"
#include "support/scriptedserver.h"
#include "support/sessionrecorder.h"
#include "text/roomformatting.h"
#include "util/ircbackground.h"
#include "util/twips.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

namespace {
// Hands the session's window requests to the private windows, as the room window does.
class WindowPresenter : public SessionPresenter
{
public:
    explicit WindowPresenter(ConversationWindows &windows) : m_windows(windows) {}
    ConversationWindowState conversationWindowState(int slot) override
    {
        return m_windows.state(slot);
    }
    void openConversationWindow(int slot, const QString &caption) override
    {
        m_windows.open(slot, caption);
    }
    void showConversationWindow(int slot) override { m_windows.show(slot); }

private:
    ConversationWindows &m_windows;
};

const ChatBuffer::Run &runAt(const ChatBuffer &buffer, int line, qsizetype position)
{
    for (const ChatBuffer::Run &run : buffer.lineRuns(line)) {
        if (position >= run.start && position < run.start + run.length)
            return run;
    }
    static const ChatBuffer::Run none{};
    return none;
}

int startLines(const QStringList &lines)
{
    return int(lines.filter(QStringLiteral(" * Chat Started : ")).size());
}
} // namespace

// A private conversation with bob, seen from alice's window: what goes on the wire, what the
// window shows, blocking, copying and reuse of the window after it closes.
class TestPrivateWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void sendsInRoomFormatting_data();
    void sendsInRoomFormatting();
    void pastedLinesEachGoOut();
    void unsentInputStaysInTheBox_data();
    void unsentInputStaysInTheBox();
    void inputPreviewsRoomFormatting_data();
    void inputPreviewsRoomFormatting();
    void blockAddsOnceAndCloses();
    void closedWindowReopensWithNewStartLine();
    void startLineLabelReadsInLightAndDarkThemes();
    void closedWindowIsReusedAsNew_data();
    void closedWindowIsReusedAsNew();
    void typingIntoTheViewChangesNothing();
    void viewMouse();
    void smileyPicksGoToTheWindowThatAsked();
    void smileyPicturesFollowTheSwitch();
    void minimumSizeAndStretching();

private:
    ConversationWindow *openedByBob();
    template<typename T> T *child(const char *name)
    {
        return m_window->findChild<T *>(QString::fromLatin1(name));
    }

    SessionVariables m_vars;
    RecordingLog m_log;
    std::unique_ptr<ScriptedServer> m_server;
    std::unique_ptr<IrcSession> m_session;
    std::unique_ptr<RoomFormatting> m_formatting;
    std::unique_ptr<RoomComposer> m_composer;
    std::unique_ptr<ConversationWindows> m_windows;
    std::unique_ptr<WindowPresenter> m_presenter;
    ConversationWindow *m_window = nullptr;
    int m_slot = -1;
};

void TestPrivateWindow::init()
{
    m_vars = SessionVariables{QStringLiteral("alice"), QString(), QStringLiteral("#velmora"), 0};
    m_log.lines.clear();
    m_server = std::make_unique<ScriptedServer>();
    m_session = std::make_unique<IrcSession>(m_vars);
    m_session->conversations().setLogFactory(
        [this](const QString &) { return std::make_unique<ForwardingLog>(m_log); });
    m_formatting = std::make_unique<RoomFormatting>();
    m_composer = std::make_unique<RoomComposer>(*m_session, *m_formatting);
    m_windows = std::make_unique<ConversationWindows>(*m_session, *m_composer, *m_formatting);
    m_presenter = std::make_unique<WindowPresenter>(*m_windows);
    m_session->setPresenter(m_presenter.get());
    m_session->setServer(QStringLiteral("127.0.0.1"), m_server->port());
    m_session->ConnectToServer();
    QVERIFY(m_server->acceptClient());
    QVERIFY(m_server->receivedUntil("\r\n").endsWith("\r\n"));
    m_server->clearReceived();
    m_window = openedByBob();
    QVERIFY(m_window);
    QApplication::setActiveWindow(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void TestPrivateWindow::cleanup()
{
    m_session->setPresenter(nullptr);
    m_windows.reset();
    m_presenter.reset();
    m_composer.reset();
    m_formatting.reset();
    m_session.reset();
    m_server.reset();
    m_window = nullptr;
}

ConversationWindow *TestPrivateWindow::openedByBob()
{
    if (m_server->exchange(":bob!b@h PRIVMSG alice :hi alice\r\n") != QByteArray())
        return nullptr;
    m_slot = m_session->conversations().findExactSlot(QStringLiteral("bob"));
    if (m_slot < 0)
        return nullptr;
    ConversationWindow *window = &m_windows->window(m_slot);
    return window->isVisible() ? window : nullptr;
}

void TestPrivateWindow::sendsInRoomFormatting_data()
{
    QTest::addColumn<QString>("colour");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<QString>("echo");

    // Unlike the room, a leading "!" is just text here.
    QTest::newRow("bang, Enter") << "1" << false << false << true << "!help"
                                 << QByteArray("PRIVMSG bob :\x03"
                                               "1 !help\n")
                                 << "[B][C]2 < alice >[B][C]1 !help";
    QTest::newRow("red, Send") << "4" << false << false << false << "text"
                               << QByteArray("PRIVMSG bob :\x03"
                                             "4 text\n")
                               << "[B][C]2 < alice >[B][C]4 text";
    QTest::newRow("styles, Enter") << "12" << true << true << true << "  hey  "
                                   << QByteArray("PRIVMSG bob :\x03"
                                                 "12 \x02\x1f  hey  \n")
                                   << "[B][C]2 < alice >[B][C]12 [U][B]  hey  ";
}

void TestPrivateWindow::sendsInRoomFormatting()
{
    QFETCH(QString, colour);
    QFETCH(bool, bold);
    QFETCH(bool, underline);
    QFETCH(bool, byEnter);
    QFETCH(QString, input);
    QFETCH(QByteArray, wire);
    QFETCH(QString, echo);
    QVERIFY(m_formatting->setColourIndex(colour));
    m_formatting->setBold(bold);
    m_formatting->setUnderline(underline);

    auto *box = child<QLineEdit>("txtprvtosnd");
    box->setText(input);
    if (byEnter)
        QTest::keyClick(box, Qt::Key_Return);
    else
        QTest::mouseClick(child<QPushButton>("cmdclose"), Qt::LeftButton);

    QCOMPARE(m_server->receivedSettled(), wire);
    QCOMPARE(m_log.lines.last(), codes(echo));
    QVERIFY(box->text().isEmpty());
    if (!byEnter)
        QTRY_COMPARE(QApplication::focusWidget(), box);

    // The own name bold in dark blue, the text in the chosen colour and styles.
    const ChatBuffer &buffer = m_session->conversations().view(m_slot);
    const int line = buffer.lineCount() - 1;
    const QString shown = buffer.lineText(line);
    const ChatBuffer::Run &name = runAt(buffer, line, shown.indexOf(u"alice"));
    QCOMPARE(name.colour, PaletteColour(2));
    QCOMPARE(name.styles, quint8(ChatBuffer::Bold));
    const ChatBuffer::Run &text = runAt(buffer, line, shown.lastIndexOf(input.trimmed()));
    QCOMPARE(text.colour, PaletteColour(qint16(colour.toInt())));
    QCOMPARE(text.styles,
             quint8((bold ? ChatBuffer::Bold : 0) | (underline ? ChatBuffer::Underline : 0)));
}

void TestPrivateWindow::pastedLinesEachGoOut()
{
    auto *box = child<QLineEdit>("txtprvtosnd");
    const qsizetype shown = m_log.lines.size();
    box->setText(u"first\n\n  \r\nsecond"_qs);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(m_server->receivedSettled(), QByteArray("PRIVMSG bob :\x03"
                                                     "1 first\nPRIVMSG bob :\x03"
                                                     "1 second\n"));
    QCOMPARE(m_log.lines.mid(shown), codes(QStringList{"[B][C]2 < alice >[B][C]1 first",
                                                       "[B][C]2 < alice >[B][C]1 second"}));
    QVERIFY(box->text().isEmpty());

    // A long paste asks first, in this window.
    m_server->clearReceived();
    QStringList many;
    for (int i = 0; i < 25; ++i)
        many << QString::number(i);
    box->setText(many.join(u'\n'));
    QTest::keyClick(box, Qt::Key_Return);
    QMessageBox *question = nullptr;
    QTRY_VERIFY((question = m_window->findChild<QMessageBox *>(u"pastequestion"_qs)));
    QCOMPARE(m_server->receivedSettled(), QByteArray());
    QTest::mouseClick(question->button(QMessageBox::Yes), Qt::LeftButton);
    QCOMPARE(m_server->receivedUntil("1 24\n").count("PRIVMSG bob :"), 25);
    QVERIFY(box->text().isEmpty());
}

void TestPrivateWindow::unsentInputStaysInTheBox_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("disconnected");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("empty") << "" << false << QStringList();
    QTest::newRow("spaces") << "    " << false << QStringList();
    // Enter and the button: each attempt says once that nothing went out.
    QTest::newRow("not connected")
        << "hello" << true
        << QStringList(2, codes(u"[C]4 *** Not sent: you are not connected to the server."_qs));
}

void TestPrivateWindow::unsentInputStaysInTheBox()
{
    QFETCH(QString, input);
    QFETCH(bool, disconnected);
    QFETCH(QStringList, shown);
    if (disconnected) {
        m_session->disconnectFromServer();
        QVERIFY(m_server->receivedUntil("\n").startsWith("QUIT "));
        m_server->clearReceived();
    }
    auto *box = child<QLineEdit>("txtprvtosnd");
    box->setText(input);
    const qsizetype lines = m_log.lines.size();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QVERIFY(QApplication::sendEvent(box, &enter)); // swallowed by the window
    QTest::mouseClick(child<QPushButton>("cmdclose"), Qt::LeftButton);
    QCOMPARE(m_server->receivedSettled(), QByteArray());
    QCOMPARE(m_log.lines.mid(lines), shown);
    QCOMPARE(box->text(), input);
}

void TestPrivateWindow::inputPreviewsRoomFormatting_data()
{
    QTest::addColumn<QString>("colour");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("underline");
    QTest::newRow("plain black") << "1" << false << false;
    QTest::newRow("bold orange") << "8" << true << false;
    QTest::newRow("underlined red") << "4" << false << true;
}

void TestPrivateWindow::inputPreviewsRoomFormatting()
{
    QFETCH(QString, colour);
    QFETCH(bool, bold);
    QFETCH(bool, underline);
    auto *box = child<QLineEdit>("txtprvtosnd");
    // Start from the opposite look, so that each key press has something to change.
    m_formatting->setBold(!bold);
    m_formatting->setUnderline(!underline);
    QVERIFY(m_formatting->setColourIndex(QStringLiteral("12")));
    QTest::keyClick(box, Qt::Key_A);

    QVERIFY(m_formatting->setColourIndex(colour));
    m_formatting->setBold(bold);
    m_formatting->setUnderline(underline);
    QTest::keyClick(box, Qt::Key_B);
    QCOMPARE(box->font().bold(), bold);
    QCOMPARE(box->font().underline(), underline);
    QCOMPARE(box->palette().color(QPalette::Text), previewColour(colour));
    QCOMPARE(box->text(), u"ab"_qs);
}

void TestPrivateWindow::blockAddsOnceAndCloses()
{
    BlockedNicks &blocked = m_session->blockedNicks();
    blocked.add(QStringLiteral("Bob")); // another nick: entries compare with case
    auto *block = child<SableCoolButton>("cmdblock");
    QCOMPARE(block->text(), u"Block"_qs);
    QCOMPARE(block->toolTip(), u"Block This User"_qs);
    for (int round = 0; round < 2; ++round) {
        m_window->open(QStringLiteral("bob"));
        m_session->conversations().claim(m_slot, QStringLiteral("bob"));
        QTest::mouseClick(block, Qt::LeftButton);
        QCOMPARE(blocked.stringList(), (QStringList{"Bob", "bob"}));
        QVERIFY(!m_window->isVisible());
        QCOMPARE(m_session->conversations().findExactSlot(QStringLiteral("bob")), -1);
    }
    // bob's messages are refused from now on.
    QCOMPARE(m_server->exchange(":bob!b@h PRIVMSG alice :let me in\r\n"), QByteArray());
    QVERIFY(!m_window->isVisible());
}

void TestPrivateWindow::closedWindowReopensWithNewStartLine()
{
    QCOMPARE(startLines(m_log.lines), 1);
    QVERIFY(child<QLabel>("lbltop3")->text().startsWith(u" * Chat Started : "_qs));
    QCOMPARE(child<QLabel>("lbltop2")->text(), u"bob"_qs);
    QVERIFY(m_window->close());
    QCOMPARE(m_session->conversations().findExactSlot(QStringLiteral("bob")), -1);

    QCOMPARE(openedByBob(), m_window);
    QCOMPARE(m_window->windowTitle(), u"bob"_qs);
    QCOMPARE(startLines(m_log.lines), 2);
    QCOMPARE(m_log.lines.size(), qsizetype(4)); // each start line followed by bob's message
    QVERIFY(m_log.lines.last().endsWith(u"hi alice"_qs));
}

void TestPrivateWindow::startLineLabelReadsInLightAndDarkThemes()
{
    const auto startColour = [this] {
        return child<QLabel>("lbltop3")->palette().color(QPalette::WindowText);
    };
    const auto background = [this] { return m_window->palette().color(QPalette::Window); };
    const QPalette light = QApplication::palette();
    QCOMPARE(startColour(), QColor(0, 99, 0));

    // A dark theme switched on while the window is open: the same green, lighter.
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(43, 43, 43));
    QApplication::setPalette(dark);
    QTRY_COMPARE(background(), QColor(43, 43, 43));
    QVERIFY(contrastRatio(startColour(), background()) >= 4.5);
    QVERIFY(startColour().lightness() > QColor(0, 99, 0).lightness());
    QCOMPARE(startColour().hslHue(), QColor(0, 99, 0).hslHue());

    QApplication::setPalette(light);
    QTRY_COMPARE(startColour(), QColor(0, 99, 0));
}

void TestPrivateWindow::closedWindowIsReusedAsNew_data()
{
    QTest::addColumn<Qt::WindowState>("closedAs");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<bool>("delivered");
    QTest::newRow("closed shown") << Qt::WindowNoState << u"carol"_qs << true;
    QTest::newRow("closed minimized") << Qt::WindowMinimized << u"carol"_qs << true;
    QTest::newRow("closed maximized") << Qt::WindowMaximized << u"carol"_qs << true;
    QTest::newRow("closed minimized, blocked sender") << Qt::WindowMinimized << u"dave"_qs << false;
}

void TestPrivateWindow::closedWindowIsReusedAsNew()
{
    QFETCH(Qt::WindowState, closedAs);
    QFETCH(QString, sender);
    QFETCH(bool, delivered);
    m_session->blockedNicks().add(u"dave"_qs);
    child<QLineEdit>("txtprvtosnd")->setText(u"for bob only"_qs);
    m_window->setWindowState(closedAs);
    QVERIFY(m_window->close());
    const ChatBuffer &view = m_session->conversations().view(m_slot);
    QCOMPARE(view.lineCount(), 0);

    QCOMPARE(m_server->exchange(":" + sender.toUtf8() + "!x@h PRIVMSG alice :hello\r\n"),
             QByteArray());
    if (!delivered) {
        QVERIFY(!m_window->isVisible());
        QCOMPARE(view.lineCount(), 0);
        QCOMPARE(m_session->conversations().findSlot(sender), -1);
        return;
    }
    // The next partner gets the window as a new one: shown normally, nothing of bob's in it.
    QVERIFY(m_window->isVisible());
    QVERIFY(!m_window->isMinimized());
    QVERIFY(!m_window->isMaximized());
    QCOMPARE(m_window->windowTitle(), sender);
    QCOMPARE(view.lineCount(), 2);
    QVERIFY(view.lineText(0).startsWith(u" * Chat Started : "_qs));
    QCOMPARE(view.lineText(1), u" < carol > hello"_qs);
    QVERIFY(child<QLineEdit>("txtprvtosnd")->text().isEmpty());
    QTest::keyClick(child<QLineEdit>("txtprvtosnd"), Qt::Key_Return);
    QCOMPARE(m_server->exchange(QByteArray()), QByteArray()); // nothing of bob's goes to carol
}

void TestPrivateWindow::typingIntoTheViewChangesNothing()
{
    auto *view = child<ChatView>("txtprvmsg");
    auto *box = child<QLineEdit>("txtprvtosnd");
    const int lines = view->buffer()->lineCount();
    QTest::keyClicks(view, QStringLiteral("typed"));
    QTest::keyClick(view, Qt::Key_Return);
    QTest::keyClick(view, Qt::Key_Backspace);
    QCOMPARE(view->buffer()->lineCount(), lines);
    QVERIFY(box->text().isEmpty());
    QCOMPARE(m_server->receivedSettled(), QByteArray());
}

void TestPrivateWindow::viewMouse()
{
    auto *view = child<ChatView>("txtprvmsg");
    auto *box = child<QLineEdit>("txtprvtosnd");
    const QPoint onText = view->lineRect(0).center();
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, onText);
    QCOMPARE(QApplication::focusWidget(), box);

    // A right click forgets the clipboard, keeps the selection for "Copy" and opens the menu.
    view->selectAll();
    const QString selection = view->selectedText();
    QVERIFY(selection.contains(u"hi alice"));
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("older"));
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, onText);
    QVERIFY(clipboard->text().isEmpty());
    auto *menu = child<QMenu>("copye");
    QTRY_VERIFY(menu->isVisible());
    view->clearSelection();
    auto *copy = menu->findChild<QAction *>(QStringLiteral("mnucopy"));
    QVERIFY(copy);
    QCOMPARE(copy->text(), u"Copy"_qs);
    copy->trigger();
    QCOMPARE(clipboard->text(), selection);
    menu->close();
}

void TestPrivateWindow::smileyPicksGoToTheWindowThatAsked()
{
    ConversationWindow &second = m_windows->window(2);
    m_windows->open(2, QStringLiteral("carol"));
    auto *firstBox = child<QLineEdit>("txtprvtosnd");
    auto *secondBox = second.findChild<QLineEdit *>(QStringLiteral("txtprvtosnd"));
    firstBox->setText(QStringLiteral("first"));
    secondBox->setText(QStringLiteral("hey"));
    secondBox->setCursorPosition(1);

    auto clickSmily = [](QWidget *window) {
        auto *smily = window->findChild<XPButton *>(QStringLiteral("SableCoolButton1"));
        QVERIFY(smily);
        QCOMPARE(smily->text(), u"Smily"_qs);
        QTest::mouseClick(smily, Qt::LeftButton);
    };
    clickSmily(m_window);
    clickSmily(&second);
    SmileyPicker *picker = m_windows->smileyPicker();
    QVERIFY(picker && picker->isVisible());
    QCOMPARE(picker->objectName(), u"smily"_qs);
    QCOMPARE(picker->windowTitle(), u"Emotions"_qs);

    QAbstractButton *smile = nullptr;
    for (auto *icon : picker->findChildren<QAbstractButton *>(QStringLiteral("imgIcon"))) {
        if (icon->property("tag").toString() == u":)")
            smile = icon;
    }
    QVERIFY(smile);
    QTest::mouseClick(smile, Qt::LeftButton);

    QCOMPARE(secondBox->text(), u"hey:)"_qs);
    QCOMPARE(secondBox->cursorPosition(), 5);
    QCOMPARE(firstBox->text(), u"first"_qs);
    QVERIFY(!picker->isVisible());
}

void TestPrivateWindow::smileyPicturesFollowTheSwitch()
{
    m_windows->setSmileyPictures(true);
    QVERIFY(child<ChatView>("txtprvmsg")->smileyPictures());
    ConversationWindow &later = m_windows->window(3);
    QVERIFY(later.findChild<ChatView *>(QStringLiteral("txtprvmsg"))->smileyPictures());
    m_windows->setSmileyPictures(false);
    QVERIFY(!child<ChatView>("txtprvmsg")->smileyPictures());
    QVERIFY(!later.findChild<ChatView *>(QStringLiteral("txtprvmsg"))->smileyPictures());
}

void TestPrivateWindow::minimumSizeAndStretching()
{
    const QScreen *screen = m_window->screen();
    const Twips twips = Twips::forScreen(*screen);
    const QSize least(twips.toPixelsX(ConversationWindow::MinimumWidthTwips),
                      twips.toPixelsY(ConversationWindow::MinimumHeightTwips));
    QCOMPARE(least, QSize(502, 298)); // at the offscreen screen's 96 dots per inch
    m_window->resize(10, 10);
    QTRY_COMPARE(m_window->size(), least);

    auto *view = child<ChatView>("txtprvmsg");
    auto *box = child<QLineEdit>("txtprvtosnd");
    const QSize viewBefore = view->size();
    const int boxWidth = box->width();
    const int boxHeight = box->height();
    m_window->resize(least + QSize(200, 150));
    QTRY_COMPARE(view->size(), viewBefore + QSize(200, 150));
    QCOMPARE(box->width(), boxWidth + 200);
    QCOMPARE(box->height(), boxHeight);
}

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestPrivateWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_privatewindow.moc"
