#pragma once

#include <QString>
#include <QVariant>

// A small per-user store of named values grouped under key paths such as
// "Software\Orvane\Store" (either separator works).
//
// Values are typed like registry values: a text (QString), a 32-bit number (int) or raw bytes
// (QByteArray). Reading gives back a text or a number; any other type counts as a failure.
//
// The user's store is the registry under HKEY_CURRENT_USER on Windows and a JSON file
// elsewhere (see defaultFilePath()). A store can also be kept in any file on any platform,
// which tests and test runs use.
class SettingsStore
{
public:
    // The current user's store.
    SettingsStore();
    // The store kept in the file at filePath.
    explicit SettingsStore(const QString &filePath);

    // Empty when the store is the Windows registry.
    QString filePath() const { return m_filePath; }
    // Where the user's store lives on a platform without a registry; empty on Windows or
    // when the platform names no configuration folder.
    static QString defaultFilePath();

    // Writes a QString, int or QByteArray value, creating the key path when needed.
    bool write(const QString &keyPath, const QString &name, const QVariant &value) const;
    // A QString or an int; invalid on any failure (no such key or value, a value of another
    // type, an unreadable store).
    QVariant read(const QString &keyPath, const QString &name) const;

    // The store SaveSetting and LoadSetting use: the file named by the environment variable
    // VELMORA_SETTINGS_FILE when it is set at first use, otherwise the user's store.
    static SettingsStore current();
    static void setCurrent(const SettingsStore &store);

private:
    QString m_filePath;
};

// Writes a text value under "Software\Orvane\" + section of the current store; silent on
// failure.
void SaveSetting(const QString &section, const QString &name, const QString &value);
// Reads a value from "Software\Orvane\" + section of the current store: a QString or an int,
// invalid when the value cannot be read.
QVariant LoadSetting(const QString &section, const QString &name);
