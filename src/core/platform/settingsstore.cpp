#include "settingsstore.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <cmath>
#include <limits>

#ifdef Q_OS_WIN
#include <qt_windows.h>

#include <cstring>
#endif

// The settings file is a JSON object with one member per key path, named with "/" between its
// parts, each holding that key's values:
//
//   { "Software/Orvane/Store": { "username": "alice", "number": 42, "blob": { "binary": "AAE=" } }
//   }
//
// A JSON string is a text, an integral JSON number within the signed 32-bit range is a 32-bit
// number and {"binary": base64} is raw bytes; anything else is a value of another type, which
// reads as a failure but is kept when the file is rewritten. The file holds a password, so it is
// always written readable and writable by its owner only.

namespace {

const QString StoreRoot = QStringLiteral("Software/Orvane/");

QStringList keyParts(const QString &keyPath)
{
    QString path = keyPath;
    path.replace(u'\\', u'/');
    return path.split(u'/', Qt::SkipEmptyParts);
}

// Undefined for a value of any other type.
QJsonValue toJson(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Int:
        return value.toInt();
    case QMetaType::QByteArray:
        return QJsonObject{
            {QStringLiteral("binary"), QString::fromLatin1(value.toByteArray().toBase64())}};
    default:
        return QJsonValue::Undefined;
    }
}

// A QString or an int; invalid for anything else.
QVariant fromJson(const QJsonValue &json)
{
    if (json.isString())
        return json.toString();
    if (json.isDouble()) {
        const double number = json.toDouble();
        if (number != std::trunc(number) || number < std::numeric_limits<qint32>::min() ||
            number > std::numeric_limits<qint32>::max())
            return {};
        return int(number);
    }
    return {};
}

enum class FileState
{
    Read,       // parsed, or absent or empty (no values yet)
    Unreadable, // exists but cannot be opened
    Damaged     // opened, but not a settings file
};

FileState readFile(const QString &path, QJsonObject &root)
{
    QFile file(path);
    if (!file.exists())
        return FileState::Read;
    if (!file.open(QIODevice::ReadOnly))
        return FileState::Unreadable;
    const QByteArray data = file.readAll();
    if (data.trimmed().isEmpty())
        return FileState::Read;
    const QJsonDocument document = QJsonDocument::fromJson(data);
    if (!document.isObject())
        return FileState::Damaged;
    root = document.object();
    return FileState::Read;
}

bool fileWrite(const QString &path, const QString &key, const QString &name,
               const QJsonValue &value)
{
    if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    // Keeps two running copies of the program from losing each other's changes.
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(5000))
        return false;

    QJsonObject root;
    switch (readFile(path, root)) {
    case FileState::Read:
        break;
    case FileState::Unreadable:
        return false;
    case FileState::Damaged: {
        // Start afresh, but keep the damaged file for whoever wants to look at it: only the
        // latest one, readable by its owner alone, since it may hold a password.
        const QString aside = path + QStringLiteral(".damaged");
        QFile::remove(aside);
        if (!QFile::rename(path, aside) ||
            !QFile::setPermissions(aside, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            return false;
        break;
    }
    }

    QJsonObject values = root.value(key).toObject();
    values.insert(name, value);
    root.insert(key, values);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return false;
    file.write(QJsonDocument(root).toJson(QJsonDocument::Indented));
    return file.commit();
}

QVariant fileRead(const QString &path, const QString &key, const QString &name)
{
    QJsonObject root;
    if (path.isEmpty() || readFile(path, root) != FileState::Read)
        return {};
    const QJsonValue values = root.value(key);
    if (!values.isObject())
        return {};
    return fromJson(values.toObject().value(name));
}

#ifdef Q_OS_WIN

const wchar_t *wide(const QString &text)
{
    return reinterpret_cast<const wchar_t *>(text.utf16());
}

// The registry itself holds the type of each value: REG_SZ, REG_DWORD or REG_BINARY here.
bool registryWrite(const QString &key, const QString &name, const QVariant &value)
{
    DWORD type = REG_NONE;
    QByteArray data;
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QString text = value.toString();
        type = REG_SZ;
        // The text with its terminating NUL, so an empty text is a single NUL.
        data = QByteArray(reinterpret_cast<const char *>(text.utf16()),
                          (text.size() + 1) * qsizetype(sizeof(char16_t)));
        break;
    }
    case QMetaType::Int: {
        const qint32 number = value.toInt();
        type = REG_DWORD;
        data = QByteArray(reinterpret_cast<const char *>(&number), qsizetype(sizeof number));
        break;
    }
    case QMetaType::QByteArray:
        type = REG_BINARY;
        data = value.toByteArray();
        break;
    default:
        return false;
    }

    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, wide(key), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return false;
    const LSTATUS status =
        RegSetValueExW(handle, wide(name), 0, type,
                       reinterpret_cast<const BYTE *>(data.constData()), DWORD(data.size()));
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

QVariant registryRead(const QString &key, const QString &name)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, wide(key), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return {};
    DWORD type = REG_NONE;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(handle, wide(name), nullptr, &type, nullptr, &size);
    QByteArray data;
    if (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_DWORD)) {
        data.resize(qsizetype(size));
        status = RegQueryValueExW(handle, wide(name), nullptr, &type,
                                  reinterpret_cast<BYTE *>(data.data()), &size);
        data.truncate(size);
    }
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS)
        return {};

    if (type == REG_SZ) {
        // The text ends at its terminator; one written without a terminator ends with the data.
        QString text(reinterpret_cast<const QChar *>(data.constData()),
                     data.size() / qsizetype(sizeof(char16_t)));
        const qsizetype end = text.indexOf(QChar::Null);
        if (end >= 0)
            text.truncate(end);
        return text;
    }
    if (type == REG_DWORD && data.size() == qsizetype(sizeof(qint32))) {
        qint32 number = 0;
        std::memcpy(&number, data.constData(), sizeof number);
        return int(number);
    }
    return {};
}

#endif

SettingsStore initialStore()
{
    const QString file = qEnvironmentVariable("VELMORA_SETTINGS_FILE");
    return file.isEmpty() ? SettingsStore() : SettingsStore(file);
}

SettingsStore &currentStore()
{
    static SettingsStore store = initialStore();
    return store;
}

} // namespace

SettingsStore::SettingsStore() : m_filePath(defaultFilePath()) {}

SettingsStore::SettingsStore(const QString &filePath) : m_filePath(filePath) {}

QString SettingsStore::defaultFilePath()
{
#ifdef Q_OS_WIN
    return {};
#else
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty())
        return {};
    return folder + QStringLiteral("/Orvane/velmora-settings.json");
#endif
}

bool SettingsStore::write(const QString &keyPath, const QString &name, const QVariant &value) const
{
    const QStringList parts = keyParts(keyPath);
    const QJsonValue json = toJson(value);
    if (parts.isEmpty() || json.isUndefined())
        return false;
#ifdef Q_OS_WIN
    if (m_filePath.isEmpty())
        return registryWrite(parts.join(u'\\'), name, value);
#endif
    return fileWrite(m_filePath, parts.join(u'/'), name, json);
}

QVariant SettingsStore::read(const QString &keyPath, const QString &name) const
{
    const QStringList parts = keyParts(keyPath);
    if (parts.isEmpty())
        return {};
#ifdef Q_OS_WIN
    if (m_filePath.isEmpty())
        return registryRead(parts.join(u'\\'), name);
#endif
    return fileRead(m_filePath, parts.join(u'/'), name);
}

SettingsStore SettingsStore::current()
{
    return currentStore();
}

void SettingsStore::setCurrent(const SettingsStore &store)
{
    currentStore() = store;
}

void SaveSetting(const QString &section, const QString &name, const QString &value)
{
    SettingsStore::current().write(StoreRoot + section, name, value);
}

QVariant LoadSetting(const QString &section, const QString &name)
{
    return SettingsStore::current().read(StoreRoot + section, name);
}
