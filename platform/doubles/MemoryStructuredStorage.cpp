#include "platform/doubles/MemoryStructuredStorage.h"

#include "platform/BufferedRootStorage.h"
#include "platform/RuntimeError.h"
#include "platform/TextEncoding.h"

namespace platform::doubles {

struct MemoryStructuredStorage::State {
    std::map<QString, StorageEntry> files;
    QStringList calls;
    QSet<QString> failing;

    // Records the call, then fails it when asked to.
    void enter(const QString& operation, const QString& target, const QString& detail = {})
    {
        calls.append(detail.isEmpty() ? operation + u' ' + target : operation + u' ' + target + u' ' + detail);
        if (failing.contains(operation) || failing.contains(operation + u' ' + target))
            kelvane::raiseError(kelvane::err::PathFileAccess,
                                QStringLiteral("%1 of %2 failed (as the test asked)").arg(operation, target));
    }
};

namespace {

using State = MemoryStructuredStorage::State;

QString modeText(StorageMode mode) { return QString::number(static_cast<int>(mode)); }

class RecordingStream : public StorageStream {
public:
    RecordingStream(std::shared_ptr<StorageStream> inner, std::shared_ptr<State> state)
        : m_inner(std::move(inner)), m_state(std::move(state))
    {
    }

    QString Name() const override { return m_inner->Name(); }

    qint64 GetSize() override
    {
        m_state->enter(QStringLiteral("GetSize"), Name());
        return m_inner->GetSize();
    }
    void Get(qint64 offset, QString& buffer) override
    {
        m_state->enter(QStringLiteral("Get"), Name(), QString::number(offset));
        m_inner->Get(offset, buffer);
    }
    QString GetString() override
    {
        m_state->enter(QStringLiteral("GetString"), Name());
        return m_inner->GetString();
    }
    void Put(qint64 offset, const QString& text) override
    {
        m_state->enter(QStringLiteral("Put"), Name(), QStringLiteral("%1 %2").arg(offset).arg(text.size()));
        m_inner->Put(offset, text);
    }
    void PutNuls(qint64 offset, qint64 count) override
    {
        m_state->enter(QStringLiteral("Put"), Name(), QStringLiteral("%1 %2").arg(offset).arg(count));
        m_inner->PutNuls(offset, count);
    }
    void Flush() override
    {
        m_state->enter(QStringLiteral("Flush"), Name());
        m_inner->Flush();
    }

private:
    std::shared_ptr<StorageStream> m_inner;
    std::shared_ptr<State> m_state;
};

class RecordingRootStorage : public RootStorage {
public:
    RecordingRootStorage(QString fileName, StorageMode mode, std::shared_ptr<State> state)
        : m_state(std::move(state))
    {
        const auto found = m_state->files.find(fileName);
        StorageEntry content = found != m_state->files.end() ? found->second : StorageEntry::emptyRoot();
        if (found == m_state->files.end() && mode == StorageMode::Read)
            kelvane::raiseError(kelvane::err::FileNotFound, QStringLiteral("File not found: %1").arg(fileName));
        m_inner = std::make_unique<BufferedRootStorage>(
            fileName, mode, std::move(content),
            [state = m_state, fileName](const StorageEntry& root) { state->files[fileName] = root; });
    }

    using RootStorage::OpenStream;
    QString FileName() const override { return m_inner->FileName(); }
    std::shared_ptr<StorageStream> OpenStream(const QString& name, StorageMode mode) override
    {
        m_state->enter(QStringLiteral("OpenStream"), name, modeText(mode));
        return std::make_shared<RecordingStream>(m_inner->OpenStream(name, mode), m_state);
    }
    std::shared_ptr<StorageStream> CreateStream(const QString& name, StorageMode mode) override
    {
        m_state->enter(QStringLiteral("CreateStream"), name, modeText(mode));
        return std::make_shared<RecordingStream>(m_inner->CreateStream(name, mode), m_state);
    }
    QStringList StreamNames() const override { return m_inner->StreamNames(); }
    void Commit() override
    {
        m_state->enter(QStringLiteral("Commit"), FileName());
        m_inner->Commit();
    }

private:
    std::shared_ptr<State> m_state;
    std::unique_ptr<BufferedRootStorage> m_inner;
};

} // namespace

MemoryStructuredStorage::MemoryStructuredStorage() : m_state(std::make_shared<State>()) {}

std::shared_ptr<RootStorage> MemoryStructuredStorage::OpenStorage(const QString& fileName, StorageMode mode)
{
    m_state->enter(QStringLiteral("OpenStorage"), fileName, modeText(mode));
    return std::make_shared<RecordingRootStorage>(fileName, mode, m_state);
}

std::map<QString, StorageEntry>& MemoryStructuredStorage::files() { return m_state->files; }

QString MemoryStructuredStorage::streamText(const QString& fileName, const QString& streamName) const
{
    const auto found = m_state->files.find(fileName);
    if (found == m_state->files.end())
        return {};
    const StorageEntry* stream = found->second.findChild(streamName);
    return stream && !stream->isStorage ? encoding::decodeStored(stream->streamBytes()) : QString();
}

QStringList& MemoryStructuredStorage::calls() { return m_state->calls; }

void MemoryStructuredStorage::failOn(const QString& operation, const QString& target)
{
    m_state->failing.insert(target.isEmpty() ? operation : operation + u' ' + target);
}

} // namespace platform::doubles
