#pragma once

// What the start-up window tests share: finding controls by object name, typing as a person
// would, the store and autostart entry as the program reads them, and a home folder of their own.

#include "platform/autostart.h"
#include "platform/settingsstore.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

namespace startuptest {

inline const QString StoreKey = QStringLiteral("Software/Orvane/Store");
inline const QString Missing = QStringLiteral("<missing>");

template<typename T> T *named(QWidget *window, const char *name)
{
    T *widget = window->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("%s has no %s", qPrintable(window->objectName()), name);
    return widget;
}

inline QLineEdit *box(QWidget *window, const char *name)
{
    return named<QLineEdit>(window, name);
}

inline QCheckBox *check(QWidget *window, const char *name)
{
    return named<QCheckBox>(window, name);
}

inline void click(QWidget *window, const char *name)
{
    QTest::mouseClick(named<QWidget>(window, name), Qt::LeftButton);
}

// Replaces the box's text as a person would; a tab cannot be typed into a box, only pasted.
inline void retype(QLineEdit *field, const QString &text)
{
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    if (text.contains(u'\t')) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    } else {
        QTest::keyClicks(field, text);
    }
}

// An invalid value stands for one that is not there: nothing is written.
inline bool store(const QString &name, const QVariant &value)
{
    return !value.isValid() || SettingsStore::current().write(StoreKey, name, value);
}

inline QString stored(const QString &name)
{
    const QVariant slot = LoadSetting(QStringLiteral("Store"), name);
    return slot.isValid() ? slot.toString() : Missing;
}

inline QString autostartCommand()
{
    QString command = Missing;
    ReadAutostart(command);
    return command;
}

inline bool showActive(QWidget *window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

inline QMessageBox *shownMessage(QWidget *window)
{
    for (QMessageBox *message : window->findChildren<QMessageBox *>())
        if (message->isVisible())
            return message;
    return nullptr;
}

// A home and configuration folder of the suite's own, and a fresh store and no autostart entry
// for every test.
class TemporaryHome
{
public:
    bool setUp()
    {
        if (!m_home.isValid())
            return false;
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
        return true;
    }

    void startTest()
    {
        SettingsStore::setCurrent(
            SettingsStore(m_home.filePath(QStringLiteral("store-%1.json").arg(++m_run))));
        QDir(m_home.filePath(QStringLiteral("config/autostart"))).removeRecursively();
    }

private:
    QTemporaryDir m_home;
    int m_run = 0;
};

} // namespace startuptest
