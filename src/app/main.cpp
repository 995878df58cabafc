#include "app/application.h"
#include "app/commandline.h"
#include "app/terminationsignals.h"

#include <QApplication>

#include <cstdio>

namespace {
int printAndExit(const QString &text, FILE *stream, int code)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    return code;
}
} // namespace

int main(int argc, char *argv[])
{
    // The web engine of the link pages shares its drawing contexts with the windows.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora Messenger"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    // The program ends through its Exit commands only: the room window hides when closed.
    QApplication::setQuitOnLastWindowClosed(false);
    quitOnTerminationSignals(&app);

    const LaunchOptions options = parseCommandLine(QApplication::arguments().mid(1),
                                                   QProcessEnvironment::systemEnvironment());
    switch (options.action) {
    case LaunchOptions::Action::ShowHelp:
    case LaunchOptions::Action::ShowVersion:
        return printAndExit(options.message, stdout, 0);
    case LaunchOptions::Action::Fail:
        return printAndExit(
            QStringLiteral("velmora: %1\nTry 'velmora --help'.\n").arg(options.message), stderr, 2);
    case LaunchOptions::Action::Run:
        break;
    }

    Application application(options);
    QString error;
    if (!application.openLogs(&error))
        return printAndExit(QStringLiteral("velmora: %1\n").arg(error), stderr, 2);
    application.start();
    return QApplication::exec();
}
