#include "ftp/DownloadTarget.h"

#include "ftp/FtpCodes.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <cstdio>

namespace kelvane::ftp {

namespace {

// A new file in the target's folder, with the permissions of the target it will replace or,
// for a new target, those any new file gets.
std::unique_ptr<QFile> createBeside(const QString& target)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString name = QStringLiteral("%1.%2.part").arg(target).arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        auto file = std::make_unique<QFile>(name);
        if (file->open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFile::exists(target))
                file->setPermissions(QFile::permissions(target));
            return file;
        }
        // Another file of that name: try another name; anything else fails.
        if (!QFile::exists(name))
            return nullptr;
    }
    return nullptr;
}

} // namespace

DownloadTarget::~DownloadTarget() { discard(); }

int DownloadTarget::open(const QString& path, qint64 start)
{
    discard();
    if (start == 0) {
        // A link stays a link: the file it names is the one replaced.
        const QFileInfo info(path);
        const QString target = info.isSymLink() ? info.symLinkTarget() : path;
        m_file = createBeside(target);
        if (!m_file)
            return code::LocalFileNotCreated;
        m_target = target;
        return 0;
    }
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return code::LocalFileNotCreated;
    if (!file->seek(start))
        return code::LocalFileSeekFailed;
    m_file = std::move(file);
    m_target.clear();
    return 0;
}

bool DownloadTarget::write(QByteArrayView bytes)
{
    return m_file && m_file->write(bytes.data(), bytes.size()) == bytes.size();
}

bool DownloadTarget::commit()
{
    if (!m_file)
        return false;
    // Qt's buffer may still hold the last bytes: a failure to write them is a failure too.
    const bool written = m_file->flush();
    m_file->close();
    if (m_target.isEmpty()) {
        m_file.reset();
        return written;
    }
    // rename() replaces the target whole, in one step.
    if (!written || std::rename(QFile::encodeName(m_file->fileName()).constData(), QFile::encodeName(m_target).constData()) != 0) {
        discard();
        return false;
    }
    m_file.reset();
    m_target.clear();
    return true;
}

void DownloadTarget::discard()
{
    if (!m_file)
        return;
    m_file->close();
    if (!m_target.isEmpty())
        m_file->remove();
    m_file.reset();
    m_target.clear();
}

} // namespace kelvane::ftp
