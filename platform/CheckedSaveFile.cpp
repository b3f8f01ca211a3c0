#include "platform/CheckedSaveFile.h"

namespace platform {

bool CheckedSaveFile::open()
{
    if (m_file.open(QIODevice::WriteOnly))
        return true;
    fail(QStringLiteral("it cannot be created"));
    return false;
}

void CheckedSaveFile::fail(const QString& what)
{
    if (m_failed)
        return;
    m_failed = true;
    m_error = QStringLiteral("%1 was not saved: %2").arg(m_file.fileName(), what);
    // Qt leaves the reason of a short write unset; name it where it has one.
    if (m_file.error() != QFileDevice::NoError && !m_file.errorString().isEmpty())
        m_error += QStringLiteral(" (%1)").arg(m_file.errorString());
}

void CheckedSaveFile::write(const QByteArray& bytes)
{
    if (m_failed || !m_file.isOpen())
        return;
    const qint64 written = m_file.write(bytes);
    if (written != bytes.size())
        fail(QStringLiteral("only %1 of %2 bytes could be written").arg(qMax<qint64>(written, 0)).arg(bytes.size()));
}

bool CheckedSaveFile::commit()
{
    if (!m_file.isOpen()) {
        if (!m_failed)
            fail(QStringLiteral("it was never opened"));
        return false;
    }
    if (!m_failed && !m_file.flush())
        fail(QStringLiteral("the end of the file could not be written"));
    if (m_failed) {
        m_file.cancelWriting();
        m_file.commit(); // discards the temporary file
        return false;
    }
    if (m_file.commit())
        return true;
    fail(QStringLiteral("the file could not take the old one's place"));
    return false;
}

} // namespace platform
