// Reading a named file whole: regular files only, never waiting on a pipe or reading a device
// that does not end, and never more than the cap.
#include "platform/FileBytes.h"
#include "platform/GsfStructuredStorage.h"
#include "tests/platform/StorageTestHelpers.h"
#include "tests/support/PipeWithoutWriter.h"
#include "tests/support/QStringPrinter.h"

#include <QElapsedTimer>
#include <QFileInfo>

using namespace kelvane::test;
using platform::readFileBytes;
namespace err = kelvane::err;

namespace {

// The description of the error the action raises; empty when it raises none.
QString errorTextOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const kelvane::RuntimeError& error) {
        return error.Description();
    }
    return {};
}

} // namespace

TEST(FileBytes, RegularFilesAreReadWholeInEitherPathForm)
{
    const QString file = testFile(QStringLiteral("kb.xml"));
    QByteArray bytes(200 * 1024, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7);
    ASSERT_TRUE(writeFile(file, bytes));
    EXPECT_EQ(readFileBytes(file), bytes);
    QString stored = file;
    EXPECT_EQ(readFileBytes(stored.replace(u'/', u'\\')), bytes);
    // A file that grew after it was opened is read to its end.
    ASSERT_TRUE(writeFile(file, bytes.left(10)));
    platform::RegularFileReader growing(file);
    ASSERT_TRUE(writeFile(file, bytes));
    EXPECT_EQ(growing.readRest(), bytes);
    ASSERT_TRUE(writeFile(file, {}));
    EXPECT_EQ(readFileBytes(file), QByteArray());
}

TEST(FileBytes, MissingFilesAndFoldersAreRefusedByName)
{
    const QString missing = testFile(QStringLiteral("missing.xml"));
    EXPECT_EQ(errorNumberOf([&] { readFileBytes(missing); }), err::FileNotFound);
    EXPECT_TRUE(errorTextOf([&] { readFileBytes(missing); }).contains(missing));
    const QString folder = QFileInfo(missing).absolutePath();
    EXPECT_EQ(errorNumberOf([&] { readFileBytes(folder); }), err::PathFileAccess);
}

TEST(FileBytes, DevicesArePassedOverWithoutReadingThem)
{
    // /dev/zero never ends: read whole it takes all memory.
    for (const char* device : {"/dev/zero", "/dev/null", "/dev/urandom"}) {
        const QString name = QString::fromLatin1(device);
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(errorNumberOf([&] { readFileBytes(name); }), err::PathFileAccess) << device;
        EXPECT_EQ(errorTextOf([&] { readFileBytes(name); }), name + QStringLiteral(" cannot be read: it is not a regular file."));
        EXPECT_LT(timer.elapsed(), 1000) << device;
    }
}

TEST(FileBytes, APipeWithoutAWriterIsRefusedAtOnce)
{
    const PipeWithoutWriter pipe(testFile(QStringLiteral("pipe.xml")));
    ASSERT_TRUE(pipe.made());
    EXPECT_EQ(errorNumberOf([&] { readFileBytes(pipe.path()); }), err::PathFileAccess);
    EXPECT_FALSE(pipe.readerWasStuck());
}

TEST(FileBytes, AFileAboveTheCapIsRefusedUnread)
{
    // A sparse file: its size costs no disk space and, refused by its size, no memory.
    const QString file = testFile(QStringLiteral("huge.xml"));
    {
        QFile huge(file);
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(platform::kMaxFileBytes + 1));
    }
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(errorTextOf([&] { readFileBytes(file); }), file + QStringLiteral(" cannot be read: it is larger than 1 GB."));
    EXPECT_LT(timer.elapsed(), 1000);
}

TEST(FileBytes, CompoundFilesAreReadTheSameWay)
{
    platform::GsfStructuredStorage storage;
    const PipeWithoutWriter pipe(testFile(QStringLiteral("pipe.qkb")));
    ASSERT_TRUE(pipe.made());
    for (const QString& name : {pipe.path(), QStringLiteral("/dev/zero")}) {
        EXPECT_EQ(errorNumberOf([&] { storage.OpenStorage(name, platform::StorageMode::Read); }), err::PathFileAccess)
            << name.toStdString();
    }
    EXPECT_FALSE(pipe.readerWasStuck());
}
