#pragma once

#include "tests/support/ErrorAssertions.h"
#include "platform/RootStorage.h"
#include "platform/RuntimeError.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace kelvane::test {

// Writes a stream the way the program does: open it (create it when missing), clear
// it with as many NUL characters as it holds, flush, write the text at 0, flush.
inline void storeText(platform::RootStorage& root, const QString& name, const QString& text)
{
    using platform::StorageMode;
    std::shared_ptr<platform::StorageStream> stream;
    try {
        stream = root.OpenStream(name, StorageMode::Write);
    } catch (const RuntimeError&) {
        stream = root.CreateStream(name, StorageMode::Write);
    }
    stream->PutNuls(0, stream->GetSize());
    stream->Flush();
    stream->Put(0, text);
    stream->Flush();
}

// The whole text of a stream, read into a buffer as long as its size.
inline QString readText(platform::RootStorage& root, const QString& name)
{
    const auto stream = root.OpenStream(name, platform::StorageMode::Read);
    QString buffer(stream->GetSize(), QChar(u'\0'));
    stream->Get(0, buffer);
    return buffer;
}

// The number of the RuntimeError `action` raises; 0 when it raises none.

// A path in a folder of the running test's own, so tests never see each other's files.
inline QString testFile(const QString& name)
{
    const QString folder = scratchFolder() + u'/'
        + QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
    QDir().mkpath(folder);
    return folder + u'/' + name;
}

inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace kelvane::test
