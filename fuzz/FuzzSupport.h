#pragma once

// What the fuzz targets share: the input as bytes, a scratch folder that lives as long as the
// process, the offscreen application object that widgets need, and quiet Qt messages (a
// trapped error is logged on every run; the log would only slow the fuzzer down).

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace fuzz {

inline QByteArray bytesOf(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// A broken promise of the code under test: the fuzzer keeps the input that broke it.
inline void require(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "Fault: %s\n", what);
    std::abort();
}

// A folder of the process's own, removed when it ends; in memory where the system has such a
// folder, as the targets write files on every run.
inline QString scratchFolder()
{
    static const QString base = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static QTemporaryDir folder(base + QStringLiteral("/kelvane-fuzz-XXXXXX"));
    return folder.path();
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Points the TLS clients at a trust store of the process's own, empty: the system's store is
// read on every connection, which would cost most of each run, and it is no input of the fuzzer.
inline void useEmptyTrustStore()
{
    const QString folder = scratchFolder() + QStringLiteral("/trust");
    QDir().mkpath(folder);
    writeFile(folder + QStringLiteral("/certificates.pem"), {});
    qputenv("SSL_CERT_FILE", QFile::encodeName(folder + QStringLiteral("/certificates.pem")));
    qputenv("SSL_CERT_DIR", QFile::encodeName(folder));
}

// Makes `folder` the working folder for as long as it lives.
class WorkingFolder {
public:
    explicit WorkingFolder(const QString& folder) : m_previous(QDir::currentPath()) { QDir::setCurrent(folder); }
    ~WorkingFolder() { QDir::setCurrent(m_previous); }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    QString m_previous;
};

// Drops Qt's debug, warning and info messages; fatal ones still end the run.
inline void quietMessages()
{
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtFatalMsg) {
            std::fputs(qPrintable(message), stderr);
            std::abort();
        }
    });
}

// The application object of the process, made once; it goes at the end of the process.
template <class Application>
void madeOnce()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static const std::unique_ptr<Application> application = std::make_unique<Application>(argc, argv);
}

// The application object for targets that make widgets, on the offscreen platform; it keeps
// the font caches it holds until the end.
inline void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    madeOnce<QApplication>();
}

// The application object for targets whose controls pump the thread's events, without widgets.
inline void ensureCoreApplication()
{
    if (!QCoreApplication::instance())
        madeOnce<QCoreApplication>();
}

} // namespace fuzz
