#include "channel/channelwindow.h"
#include "chat/chatview.h"
#include "controls/sablecoolbutton.h"
#include "controls/xpbutton.h"
#include "irc/ircsession.h"
#include "irc/roomcomposer.h"
#include "platform/settingsstore.h"
#include "private/conversationwindow.h"
#include "session/sessionvariables.h"
#include "support/darktheme.h"
#include "text/appendformatted.h"
#include "text/chatbuffer.h"
#include "text/roomformatting.h"

#include <QApplication>
#include <QLineEdit>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QtTest>

// Under a dark desktop theme the widgets that draw IRC colours keep the white background those
// colours were made for, so black text stays readable; the rest follows the theme.
class TestDarkTheme : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void chatViewDrawsBlackOnWhite();
    void roomAndPrivateBoxesUseTheIrcBackground();
    void buttonCaptionsContrastWithTheirFaces();

private:
    QTemporaryDir m_settingsDir;
};

namespace {

bool isWhite(QRgb pixel)
{
    return qRed(pixel) == 255 && qGreen(pixel) == 255 && qBlue(pixel) == 255;
}

int darkPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qGray(image.pixel(x, y)) < 80;
    return count;
}

} // namespace

void TestDarkTheme::initTestCase()
{
    SettingsStore::setCurrent(
        SettingsStore(m_settingsDir.filePath(QStringLiteral("settings.json"))));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(darkPalette());
}

void TestDarkTheme::chatViewDrawsBlackOnWhite()
{
    ChatBuffer buffer;
    ChatView view;
    view.setBuffer(&buffer);
    view.resize(300, 80);
    view.show();
    AppendFormatted(buffer, QStringLiteral("plain text in the default colour"));
    QCoreApplication::processEvents();

    const QImage image = view.viewport()->grab().toImage();
    QVERIFY(isWhite(image.pixel(image.width() - 2, image.height() - 2)));
    QVERIFY(darkPixels(image) > 20);
}

void TestDarkTheme::roomAndPrivateBoxesUseTheIrcBackground()
{
    SessionVariables vars{QStringLiteral("alice"), QString(), QStringLiteral("#velmora"), 0};
    IrcSession session(vars);
    ChannelWindow room(session);
    RoomFormatting formatting;
    RoomComposer composer(session, formatting);
    ChatBuffer privateBuffer;
    ConversationWindow conversation(session, privateBuffer, composer, formatting);

    for (const char *name : {"datain", "rtbtopic", "dataout"}) {
        auto *widget = room.findChild<QWidget *>(QLatin1String(name));
        QVERIFY2(widget, name);
        QCOMPARE(widget->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(widget->palette().color(QPalette::Text), QColor(Qt::black));
    }
    for (const char *name : {"txtprvmsg", "txtprvtosnd"}) {
        auto *widget = conversation.findChild<QWidget *>(QLatin1String(name));
        QVERIFY2(widget, name);
        QCOMPARE(widget->palette().color(QPalette::Base), QColor(Qt::white));
    }
    // The theme still rules the rest of the window.
    QCOMPARE(room.palette().color(QPalette::Window), QColor(45, 45, 48));
}

void TestDarkTheme::buttonCaptionsContrastWithTheirFaces()
{
    // The XP faces are always light: their captions stay black.
    XPButton xp(QStringLiteral("Smily"));
    QCOMPARE(xp.foreColor(), QColor(Qt::black));

    // The cool button's face is the theme's, and so is its caption, unless one is set.
    SableCoolButton cool(QStringLiteral("Send"));
    QCOMPARE(cool.buttonBackColor(), QColor(53, 53, 56));
    QCOMPARE(cool.buttonTextColor(), QColor(230, 230, 230));
    cool.setButtonBackColor(Qt::white);
    cool.setButtonTextColor(Qt::black);
    QCOMPARE(cool.buttonTextColor(), QColor(Qt::black));
}

QTEST_MAIN(TestDarkTheme)
#include "tst_darktheme.moc"
