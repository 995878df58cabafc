// The least a Qt client can do in a room: a window on screen, the connection read line by line,
// PINGs answered, nothing interpreted or drawn. Run in place of the program by bench/replay.sh
// (VELMORA=build/bench/bench_bare_reader), it measures what Qt's event loop and socket cost per
// arriving line on this machine, the floor under the program's own paced figure.
#include <QApplication>
#include <QCommandLineParser>
#include <QTcpSocket>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser options;
    options.addOptions({{"server", "host:port", "address"},
                        {"nick", "nick", "nick", "bare"},
                        {"room", "room", "room", "#bench"}});
    options.process(app);
    const QString server = options.value("server");
    const qsizetype colon = server.lastIndexOf(u':');
    if (colon < 0)
        return 2;

    QWidget window;
    window.resize(400, 300);
    window.show();

    QTcpSocket socket;
    const QByteArray nick = options.value("nick").toUtf8();
    const QByteArray room = options.value("room").toUtf8();
    QObject::connect(&socket, &QTcpSocket::connected, [&] {
        socket.write("NICK " + nick + "\r\nUSER " + nick + " 0 * :" + nick + "\r\n");
    });
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] {
        while (socket.canReadLine()) {
            QByteArray line = socket.readLine();
            if (line.startsWith("PING ")) {
                line.replace(0, 4, "PONG");
                socket.write(line);
            } else if (line.contains(" 376 ")) {
                socket.write("JOIN " + room + "\r\n");
            }
        }
    });
    QObject::connect(&socket, &QTcpSocket::disconnected, &app, &QCoreApplication::quit);
    socket.connectToHost(server.left(colon), server.mid(colon + 1).toUShort());
    return app.exec();
}
