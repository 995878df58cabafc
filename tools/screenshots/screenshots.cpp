// Saves pictures of the program's windows, shown as a person sees them, for a look at how they
// come out: the launcher, the login window, the room window (also with a search and the unread
// marker), the colour picker, a private conversation with smiley pictures, the smiley picker,
// the blocked-nicks list, the NickServ dialogs and the about box.
// Usage: velmora_screenshots DIR [--dark]   (run under a display, e.g. Xvfb)
// --dark shows them in the Fusion style with a dark palette, as under a dark desktop theme.
#include "channel/channelwindow.h"
#include "chat/chatview.h"
#include "chat/findbar.h"
#include "controls/trayicon.h"
#include "dialogs/aboutdialog.h"
#include "dialogs/blockednickswindow.h"
#include "dialogs/changenickdialog.h"
#include "dialogs/changepassworddialog.h"
#include "dialogs/colourpicker.h"
#include "dialogs/identifydialog.h"
#include "dialogs/registerdialog.h"
#include "dialogs/smileypicker.h"
#include "irc/ircsession.h"
#include "irc/roomcomposer.h"
#include "private/conversationwindow.h"
#include "session/sessionvariables.h"
#include "startup/launcherwindow.h"
#include "startup/loginwindow.h"
#include "support/darktheme.h"
#include "text/appendformatted.h"
#include "text/roomformatting.h"
#include "util/fontsubstitutes.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPalette>
#include <QRegularExpression>
#include <QTest>

#include <cstdio>

namespace {
void save(QWidget &window, const QString &path)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "%s was never shown\n", qPrintable(window.objectName()));
    QTest::qWait(300);
    window.grab().save(path);
    std::printf("%s\n", qPrintable(path));
}
// A dark desktop theme as Qt applies one: the Fusion style with dark window and base colours.
void useDarkTheme(QApplication &app)
{
    app.setStyle(QStringLiteral("Fusion"));
    app.setPalette(darkPalette());
}
// The room with two lines that came while the window was inactive, under the marker, and a
// search for "velmorabot" under way. The window is told of the activation changes directly.
void showFindAndUnread(QWidget &room, IrcSession &session)
{
    QEvent away(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(&room, &away);
    AppendFormatted(session.roomView(), u"\x02\x03"
                                        "6 < bob > \x03"
                                        "01\x02"
                                        "did VelmoraBot say hello?");
    AppendFormatted(session.roomView(), u"\x02\x03"
                                        "6 < ann > \x03"
                                        "01\x02yes, just now");
    QEvent back(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&room, &back);
    room.findChild<FindBar *>(QStringLiteral("findbar"))->open();
    room.findChild<QLineEdit *>(QStringLiteral("txtfind"))->setText(QStringLiteral("velmorabot"));
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    substituteMissingFonts();
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.contains(QStringLiteral("--dark")))
        useDarkTheme(app);
    const QStringList folders = arguments.filter(QRegularExpression(QStringLiteral("^[^-]")));
    const QDir out(folders.isEmpty() ? QStringLiteral(".") : folders.first());
    out.mkpath(QStringLiteral("."));

    TrayIcon tray;
    LauncherWindow launcher(tray);
    save(launcher, out.filePath(QStringLiteral("launcher.png")));

    SessionVariables variables;
    LoginWindow login(variables);
    save(login, out.filePath(QStringLiteral("login.png")));

    variables = SessionVariables{QStringLiteral("demo"), QString(), QStringLiteral("#velmora"), 0};
    IrcSession session(variables);
    ChannelWindow room(session);
    AppendFormatted(session.topicView(), u"Welcome to \x02Velmora\x02 - be \x03"
                                         "4nice");
    for (const char16_t *line : {u"\x03"
                                 "3\x02*** You\x02 have joined \x02#velmora",
                                 u"\x02\x03"
                                 "6 < VelmoraBot > \x03"
                                 "01\x02Hello! \x02"
                                 "Bold\x02, \x1funderlined\x1f, "
                                 u"\x16reversed\x16 and \x03"
                                 "4c\x03"
                                 "7o\x03"
                                 "3l\x03"
                                 "12o\x03"
                                 "6u\x03"
                                 "13r\x03s.",
                                 u"\x03"
                                 "6 VelmoraBot waves at everyone",
                                 u"\x02\x03"
                                 "2 < demo > \x02\x03"
                                 "12 hi there",
                                 u"\x02\x03"
                                 "2 < ann > \x02\x03"
                                 "1see https://velmora.chat/rules. or www.example.org/a_(b)!",
                                 u"\x02\x03"
                                 "6 < VelmoraBot > \x03"
                                 "01\x02welcome back :D have a :drink on me :wave",
                                 // What other clients and bots send beyond the composer's codes.
                                 u"\x02\x03"
                                 "6 < relay > \x0f\x1ditalic\x1d \x1estruck\x1e "
                                 "\x11mono\x11 \x03"
                                 "0,4 white on red \x03 \x03"
                                 "1,8 black on yellow \x0f \x04"
                                 "ff8800hex \x04"
                                 "ffffff,7700aa on violet \x0f \x03"
                                 "52ext\x03"
                                 "61end\x03"
                                 "36ed\x0f \x07"
                                 "bell gone"})
        AppendFormatted(session.roomView(), QStringView(line));
    // A line naming the user, highlighted as the interpreter marks mentions.
    AppendFormatted(session.roomView(), u"\x02\x03"
                                        "6 < ann > \x03"
                                        "01\x02"
                                        "demo: the new room is open, come and see");
    session.roomView().highlightLine(session.roomView().lineCount() - 1);
    session.members().addNames({QStringLiteral("@VelmoraBot"), QStringLiteral("demo"),
                                QStringLiteral("+ann"), QStringLiteral("bob")});
    session.members().flushPending();
    session.UpdateUserCount();
    room.findChild<ChatView *>(QStringLiteral("datain"))->setSmileyPictures(true);
    save(room, out.filePath(QStringLiteral("room-window.png")));
    showFindAndUnread(room, session);
    save(room, out.filePath(QStringLiteral("room-find.png")));

    ColourPicker picker(&room);
    save(picker, out.filePath(QStringLiteral("colour-picker.png")));

    RoomFormatting formatting;
    RoomComposer composer(session, formatting);
    ConversationWindow conversation(session, session.conversations().view(1), composer, formatting);
    conversation.open(QStringLiteral("ann"));
    AppendFormatted(session.conversations().view(1), u"\x02\x03"
                                                     "4< ann > \x02\x03"
                                                     "1hi demo :) how are you? ;)");
    conversation.setSmileyPictures(true);
    save(conversation, out.filePath(QStringLiteral("private-window.png")));
    SmileyPicker emotions(SmileyPicker::Kind::Private);
    save(emotions, out.filePath(QStringLiteral("smiley-picker.png")));

    session.blockedNicks().add(QStringLiteral("spammer"));
    BlockedNicksWindow blocked(session.blockedNicks(), session.members());
    save(blocked, out.filePath(QStringLiteral("blocked-nicks.png")));

    IdentifyDialog identify(session);
    save(identify, out.filePath(QStringLiteral("identify.png")));
    RegisterDialog registration(session);
    save(registration, out.filePath(QStringLiteral("register.png")));
    ChangeNickDialog changeNick(session);
    save(changeNick, out.filePath(QStringLiteral("change-nick.png")));
    ChangePasswordDialog changePassword(session);
    save(changePassword, out.filePath(QStringLiteral("change-password.png")));
    AboutDialog about(QStringLiteral("irc.velmora.chat"));
    save(about, out.filePath(QStringLiteral("about.png")));
    return 0;
}
