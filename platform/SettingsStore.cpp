#include "platform/SettingsStore.h"

#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <optional>
#include <sys/stat.h>
#include <utility>

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

// The file's identity on disk (device and inode); none while it does not exist.
std::optional<std::pair<dev_t, ino_t>> identityOf(const QString& fileName)
{
    struct stat status {};
    if (::stat(QFile::encodeName(fileName).constData(), &status) != 0)
        return std::nullopt;
    return std::pair(status.st_dev, status.st_ino);
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
    const QSettings store(fileOf(application), QSettings::IniFormat);
    const QVariant value = store.value(settingPath(section, key));
    return value.isValid() ? value.toString() : defaultValue;
}

void IniSettingsStore::saveSetting(const QString& application, const QString& section, const QString& key,
                                   const QString& value)
{
    const QString fileName = fileOf(application);
    const QString path = settingPath(section, key);
    makePrivate(fileName);
    const auto before = identityOf(fileName);
    QSettings::Status status = QSettings::NoError;
    {
        QSettings store(fileName, QSettings::IniFormat);
        store.setAtomicSyncRequired(true); // a write replaces the file whole, or leaves it
        store.setValue(path, value);
        store.sync();
        status = store.status();
    }
    QFile::setPermissions(fileName, kOwnerOnly);
    // Text the reader could not make sense of leaves a format error that outlives the write
    // after it (which drops that text): that status tells nothing of the write itself. A file
    // that was replaced was written.
    const bool written = status == QSettings::NoError || (status == QSettings::FormatError && identityOf(fileName) != before);
    if (!written)
        kelvane::raiseError(kelvane::err::PathFileAccess);
}

} // namespace platform
