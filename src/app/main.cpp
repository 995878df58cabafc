#include "application.h"
#include "commandline.h"
#include "terminationsignals.h"
#include "util/fontsubstitutes.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <utility>

namespace {
int printAndExit(const QString &text, FILE *stream, int code)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    return code;
}

// --check-start: once the event loop has shown the first window, names every shown window
// (a start-up check of an installed program) and ends; code 1 when no window came up.
void reportShownWindowsOnceStarted()
{
    QTimer::singleShot(0, [] {
        QStringList shown;
        for (const QWidget *window : QApplication::topLevelWidgets())
            if (window->isVisible())
                shown << window->objectName();
        shown.sort();
        for (const QString &name : std::as_const(shown))
            std::printf("%s\n", qPrintable(name));
        std::fflush(stdout);
        QCoreApplication::exit(shown.isEmpty() ? 1 : 0);
    });
}
} // namespace

int main(int argc, char *argv[])
{
    // The web engine of the link pages shares its drawing contexts with the windows.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora Messenger"));
    QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    substituteMissingFonts();
    // The program ends through its Exit commands only: the room window hides when closed.
    QApplication::setQuitOnLastWindowClosed(false);
    // A termination signal ends the program as its Exit commands do; should one be handled
    // before the program runs, it only ends the event loop.
    Application *running = nullptr;
    endOnTerminationSignals(&app, [&running] {
        if (running)
            running->exitProgram();
        else
            QCoreApplication::exit(0);
    });

    const LaunchOptions options = parseCommandLine(QApplication::arguments().mid(1),
                                                   QProcessEnvironment::systemEnvironment());
    removePasswordFromEnvironment();
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
    running = &application;
    QString error;
    if (!application.openLogs(&error))
        return printAndExit(QStringLiteral("velmora: %1\n").arg(error), stderr, 2);
    application.start();
    if (options.checkStart)
        reportShownWindowsOnceStarted();
    return QApplication::exec();
}
