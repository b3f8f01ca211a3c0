// Opens the input as a compound file and restores its main network, as opening a knowledge
// base does: the GUID stream names the network, found through the numbered GUID streams.
// Files that are not compound files are refused by the storage with its error type; any
// other outcome but a result is a fault (FileRestore traps its errors).
#include "model/basGlobal.h"
#include "network/clsNetwork.h"
#include "platform/BufferedRootStorage.h"
#include "platform/CompoundFile.h"
#include "platform/RuntimeError.h"
#include "platform/Service.h"
#include "platform/doubles/ScriptedUiServices.h"

#include <cstddef>
#include <cstdint>

namespace {

QString mainNetworkGUID(platform::RootStorage& root)
{
    const auto stream = root.OpenStream(QStringLiteral("GUID"), platform::StorageMode::Read);
    QString text(stream->GetSize(), QChar(u'\0'));
    stream->Get(0, text);
    return !text.isEmpty() && text.front() < u'0' ? basGlobal::StripStreamHeader(text) : basGlobal::TrimAtNull(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> ui;
    ui->messageBoxes.clear();
    ui->prompts.clear();

    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        platform::BufferedRootStorage root(QStringLiteral("fuzz.qkb"), platform::StorageMode::Read,
                                           platform::compoundfile::read(bytes), {});
        const QString guid = mainNetworkGUID(root);
        kelvane::clsNetwork::create()->FileRestore(root, guid);
    } catch (const kelvane::RuntimeError&) {
    }
    return 0;
}
