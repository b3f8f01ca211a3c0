#include "platform/SettingsStore.h"

#include "platform/CheckedSaveFile.h"
#include "platform/FileBytes.h"
#include "platform/RuntimeError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <optional>

namespace platform {

namespace {

// QSettings reads "/" and "\" in names as group separators; percent-encode them (and "%"
// itself) so that every name stays one name.
QString plainName(const QString& name)
{
    QString encoded = name;
    encoded.replace(u'%', QStringLiteral("%25"));
    encoded.replace(u'/', QStringLiteral("%2F"));
    encoded.replace(u'\\', QStringLiteral("%5C"));
    return encoded;
}

QString settingPath(const QString& section, const QString& key)
{
    return plainName(section) + u'/' + plainName(key);
}

// Application names become file names: keep them to one path component.
QString fileNameOf(const QString& application)
{
    QString name = application;
    name.replace(u'/', u'_');
    name.replace(u'\\', u'_');
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral(".."))
        name.prepend(u'_');
    return name;
}

// Settings hold the server password: the file is readable by its owner only, from its
// first byte on (a new file starts empty with those rights; rewrites keep them).
constexpr auto kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

void makePrivate(const QString& fileName)
{
    if (!QFileInfo::exists(fileName)) {
        QDir().mkpath(QFileInfo(fileName).absolutePath());
        QFile file(fileName);
        if (file.open(QIODevice::WriteOnly, kOwnerOnly))
            file.close();
    }
    QFile::setPermissions(fileName, kOwnerOnly);
}

// The settings reader keeps what it read of a file for as long as the file's size and time stay
// as they were. A file it did not write itself (a scratch file renamed, a file replaced by
// another writer) is therefore read under a name of its own, or given a time of its own.

// A name as the settings reader writes it and finds it: without empty parts. A file may hold a
// name with such parts ("MRU0/", "a//b"), under which the reader finds nothing, and which it
// would write as another name.
QString nameAsWritten(const QString& name)
{
    return name.split(u'/', Qt::SkipEmptyParts).join(u'/');
}

bool isList(const QVariant& value)
{
    return value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QVariantList;
}

// A value as written and as the settings reader reads it back. A list comes back as a list of
// texts, or as a list of values when one of its texts needed a form of its own (one holding NUL):
// either holds the same texts.
bool sameValue(const QVariant& written, const QVariant& read)
{
    return isList(written) && isList(read) ? written.toList() == read.toList() : written == read;
}

// The text of the settings file `fileName` for `entries`, as the settings reader writes it:
// written into a scratch folder of its own beside the file, then read back, since the reader's
// own write does not tell of a file cut short at its last flush. Nothing when the text did not
// come out whole.
std::optional<QByteArray> iniText(const QString& fileName, const QMap<QString, QVariant>& entries)
{
    const QFileInfo store(fileName);
    const QTemporaryDir scratch(store.absolutePath() + QStringLiteral("/.") + store.fileName() + QStringLiteral("-XXXXXX"));
    if (!scratch.isValid())
        return std::nullopt;
    const QString written = scratch.filePath(QStringLiteral("written.ini"));
    {
        QSettings writer(written, QSettings::IniFormat);
        for (auto it = entries.begin(); it != entries.end(); ++it)
            writer.setValue(it.key(), it.value());
        writer.sync();
        if (writer.status() != QSettings::NoError)
            return std::nullopt;
    }
    const QString whole = scratch.filePath(QStringLiteral("whole.ini"));
    if (!QFile::rename(written, whole))
        return std::nullopt;
    const QSettings reader(whole, QSettings::IniFormat);
    const QStringList names = reader.allKeys();
    const bool complete = names.size() == entries.size() && std::all_of(names.begin(), names.end(), [&](const QString& name) {
        return sameValue(entries.value(name), reader.value(name));
    });
    if (!complete)
        return std::nullopt;
    return tryReadFileBytes(whole);
}

// The size and time of a file, as the settings reader tells its files apart.
struct FileStamp {
    qint64 size = -1;
    QDateTime time;
    explicit FileStamp(const QString& fileName)
    {
        const QFileInfo info(fileName);
        if (info.exists()) {
            size = info.size();
            time = info.lastModified();
        }
    }
    bool operator==(const FileStamp&) const = default;
};

// Gives the file that replaced one of the same size a time of its own when it came in the
// same tick of the file system's clock.
void markReplaced(const QString& fileName, const FileStamp& replaced)
{
    if (FileStamp(fileName) != replaced)
        return;
    QFile file(fileName);
    if (file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        file.setFileTime(replaced.time.addMSecs(1), QFileDevice::FileModificationTime);
}

} // namespace

QString IniSettingsStore::fileOf(const QString& application)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Kelvane/")
        + fileNameOf(application) + QStringLiteral(".ini");
}

QString IniSettingsStore::getSetting(const QString& application, const QString& section, const QString& key,
                                     const QString& defaultValue)
{
    const QString fileName = fileOf(application);
    if (refusalOf(fileName))
        return defaultValue;
    const QSettings store(fileName, QSettings::IniFormat);
    const QVariant value = store.value(settingPath(section, key));
    return value.isValid() ? value.toString() : defaultValue;
}

std::optional<QString> IniSettingsStore::refusal(const QString& application)
{
    return refusalOf(fileOf(application));
}

void IniSettingsStore::saveSettings(const QString& application, const QList<StoredSetting>& settings)
{
    const QString fileName = fileOf(application);
    if (const auto refused = refusalOf(fileName))
        kelvane::raiseError(kelvane::err::PathFileAccess, *refused + QStringLiteral(" The settings are not saved."));
    makePrivate(fileName);
    // Every entry the file holds (text the reader could not make sense of is dropped), and the
    // new values.
    QMap<QString, QVariant> entries;
    {
        const QSettings stored(fileName, QSettings::IniFormat);
        for (const QString& name : stored.allKeys()) {
            if (const QVariant value = stored.value(name); value.isValid())
                entries.insert(nameAsWritten(name), value);
        }
    }
    const FileStamp stored(fileName);
    for (const StoredSetting& setting : settings)
        entries.insert(settingPath(setting.section, setting.key), setting.value);

    const std::optional<QByteArray> text = iniText(fileName, entries);
    if (!text)
        kelvane::raiseError(kelvane::err::PathFileAccess, QStringLiteral("%1 was not saved: the settings could not be written out whole")
                                                              .arg(QDir::toNativeSeparators(fileName)));
    CheckedSaveFile file(fileName);
    if (file.open())
        file.write(*text);
    if (!file.commit())
        kelvane::raiseError(kelvane::err::PathFileAccess, file.errorString());
    markReplaced(fileName, stored);
    QFile::setPermissions(fileName, kOwnerOnly);
}

} // namespace platform
