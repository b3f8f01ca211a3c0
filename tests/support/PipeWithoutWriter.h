#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace kelvane::test {

// A named pipe nobody writes to: a reader that waits for a writer would wait for ever. So that
// such a reader fails its test instead of hanging it, a writer comes and goes once `patience`
// has passed, which ends the reader's wait with nothing read; readerWasStuck() tells.
class PipeWithoutWriter {
public:
    explicit PipeWithoutWriter(QString path, std::chrono::milliseconds patience = std::chrono::seconds(5))
        : m_path(std::move(path)), m_name(QFile::encodeName(m_path))
    {
        ::unlink(m_name.constData());
        m_made = ::mkfifo(m_name.constData(), 0600) == 0;
        m_watchdog = std::thread([this, patience] { watch(patience); });
    }
    ~PipeWithoutWriter()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        m_watchdog.join();
        ::unlink(m_name.constData());
    }
    PipeWithoutWriter(const PipeWithoutWriter&) = delete;
    PipeWithoutWriter& operator=(const PipeWithoutWriter&) = delete;

    const QString& path() const { return m_path; }
    bool made() const { return m_made; }
    bool readerWasStuck() const { return m_released; }

private:
    void watch(std::chrono::milliseconds patience)
    {
        std::unique_lock lock(m_mutex);
        if (m_wake.wait_for(lock, patience, [this] { return m_stopping; }))
            return;
        // A writer may open without waiting only while a reader holds the pipe open.
        while (!m_wake.wait_for(lock, std::chrono::milliseconds(50), [this] { return m_stopping; })) {
            const int writer = ::open(m_name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (writer >= 0) {
                ::close(writer);
                m_released = true;
            }
        }
    }

    QString m_path;
    QByteArray m_name;
    bool m_made = false;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::atomic<bool> m_released {false};
    std::thread m_watchdog;
};

} // namespace kelvane::test
