#include "autostart.h"

#include "settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

QString thisProgram()
{
    return QCoreApplication::applicationFilePath();
}

#ifdef Q_OS_WIN

const QString RunKey = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\run");
const QString ValueName = QStringLiteral("orvchat");

bool writeCommand(const QString &command)
{
    return SettingsStore::current().write(RunKey, ValueName, command);
}

#else

// Desktop entry values are strings with the escapes \s \n \t \r and \\.
QString escapeValue(const QString &value)
{
    QString escaped;
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'\\':
            escaped += QLatin1String("\\\\");
            break;
        case u'\n':
            escaped += QLatin1String("\\n");
            break;
        case u'\t':
            escaped += QLatin1String("\\t");
            break;
        case u'\r':
            escaped += QLatin1String("\\r");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QString unescapeValue(const QString &value)
{
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        switch (value[++i].unicode()) {
        case u's':
            text += u' ';
            break;
        case u'n':
            text += u'\n';
            break;
        case u't':
            text += u'\t';
            break;
        case u'r':
            text += u'\r';
            break;
        default: // "\\", and any other character stands for itself
            text += value[i];
        }
    }
    return text;
}

// One Exec argument in double quotes, with ", `, $ and \ escaped and % doubled, so that no
// character of the path is taken for a field code or by a shell.
QString quoteArgument(const QString &argument)
{
    QString quoted(u'"');
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
        if (c == u'%')
            quoted += u'%';
    }
    return quoted + u'"';
}

// The program an Exec value starts: its first argument, quoted or not.
bool firstArgument(const QString &exec, QString &program)
{
    qsizetype i = 0;
    while (i < exec.size() && exec[i].isSpace())
        ++i;
    QString argument;
    if (i < exec.size() && exec[i] == u'"') {
        bool closed = false;
        for (++i; i < exec.size(); ++i) {
            if (exec[i] == u'"') {
                closed = true;
                break;
            }
            if (exec[i] == u'\\' && i + 1 < exec.size())
                ++i;
            argument += exec[i];
        }
        if (!closed)
            return false;
    } else {
        while (i < exec.size() && !exec[i].isSpace())
            argument += exec[i++];
    }
    argument.replace(QLatin1String("%%"), QLatin1String("%"));
    if (argument.isEmpty())
        return false;
    program = argument;
    return true;
}

QString entryPath()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty())
        return {};
    return config + QStringLiteral("/autostart/orvchat.desktop");
}

bool writeEntry(const QString &program, bool enabled)
{
    const QString path = entryPath();
    if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Name=Velmora Messenger\n");
    if (!program.isEmpty())
        text += QStringLiteral("Exec=%1\n").arg(escapeValue(quoteArgument(program)));
    text += QStringLiteral("Terminal=false\n");
    if (!enabled)
        text += QStringLiteral("Hidden=true\n");
    text += QStringLiteral("X-GNOME-Autostart-enabled=%1\n")
                .arg(enabled ? QLatin1String("true") : QLatin1String("false"));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text.toUtf8());
    return file.commit();
}

#endif

} // namespace

bool EnableAutostart(const QString &program)
{
    const QString path = program.isEmpty() ? thisProgram() : program;
    if (path.isEmpty())
        return false;
#ifdef Q_OS_WIN
    // Quoted, so that a path with blanks cannot be read as a shorter program plus arguments.
    return writeCommand(u'"' + QDir::toNativeSeparators(path) + u'"');
#else
    return writeEntry(path, true);
#endif
}

bool DisableAutostart()
{
#ifdef Q_OS_WIN
    return writeCommand(QString());
#else
    return writeEntry(thisProgram(), false);
#endif
}

void ReadAutostart(QString &AutostartCommand)
{
#ifdef Q_OS_WIN
    const QVariant value = SettingsStore::current().read(RunKey, ValueName);
    if (!value.isValid())
        return;
    QString command =
        value.typeId() == QMetaType::Int ? QString::number(value.toInt()) : value.toString();
    if (command.size() >= 2 && command.startsWith(u'"') && command.endsWith(u'"'))
        command = command.mid(1, command.size() - 2);
    AutostartCommand = command;
#else
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    bool inEntry = false;
    bool enabled = true;
    bool hasExec = false;
    QString exec;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inEntry || line.startsWith(u'#') || equals < 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = unescapeValue(line.mid(equals + 1).trimmed());
        if (key == QLatin1String("Exec")) {
            exec = value;
            hasExec = true;
        } else if ((key == QLatin1String("Hidden") && value == QLatin1String("true")) ||
                   (key == QLatin1String("X-GNOME-Autostart-enabled") &&
                    value == QLatin1String("false"))) {
            enabled = false;
        }
    }
    if (!enabled)
        AutostartCommand.clear();
    else if (hasExec)
        firstArgument(exec, AutostartCommand);
#endif
}
