#include "ftp/UploadSource.h"

#include "ftp/FtpCodes.h"

namespace kelvane::ftp {

int UploadSource::open(const QString& path, qint64 start)
{
    close();
    m_file.setFileName(path);
    // Unbuffered: each read asks the file anew, so bytes added meanwhile are seen.
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return code::LocalFileNotOpened;
    if (start != 0 && !m_file.seek(start)) {
        close();
        return code::LocalFileSeekFailed;
    }
    m_position = start;
    return 0;
}

void UploadSource::close()
{
    m_file.close();
    m_block.clear();
    m_offset = 0;
}

bool UploadSource::pending(QByteArrayView& bytes)
{
    if (m_offset == m_block.size()) {
        m_block.resize(BlockSize);
        const qint64 read = m_file.read(m_block.data(), BlockSize);
        if (read < 0) {
            m_block.clear();
            m_offset = 0;
            return false;
        }
        m_block.resize(read);
        m_offset = 0;
    }
    bytes = QByteArrayView(m_block).sliced(m_offset);
    return true;
}

void UploadSource::advance(qint64 count)
{
    m_offset += count;
    m_position += count;
}

} // namespace kelvane::ftp
