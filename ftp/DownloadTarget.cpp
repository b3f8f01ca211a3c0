#include "ftp/DownloadTarget.h"

#include "ftp/FtpCodes.h"

#include <QFile>
#include <QSaveFile>

namespace kelvane::ftp {

DownloadTarget::DownloadTarget() = default;

DownloadTarget::~DownloadTarget() { discard(); }

int DownloadTarget::open(const QString& path, qint64 start)
{
    discard();
    if (start == 0) {
        auto file = std::make_unique<QSaveFile>(path);
        if (!file->open(QIODevice::WriteOnly))
            return code::LocalFileNotCreated;
        m_file = std::move(file);
        m_replaces = true;
        return 0;
    }
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return code::LocalFileNotCreated;
    if (!file->seek(start))
        return code::LocalFileSeekFailed;
    m_file = std::move(file);
    m_replaces = false;
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
    const auto file = std::move(m_file);
    if (m_replaces)
        return static_cast<QSaveFile&>(*file).commit();
    return file->flush();
}

void DownloadTarget::discard()
{
    if (!m_file)
        return;
    if (m_replaces)
        static_cast<QSaveFile&>(*m_file).cancelWriting();
    m_file.reset();
}

} // namespace kelvane::ftp
