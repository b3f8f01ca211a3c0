// Reads the input as a knowledge-base XML document, as opening a file does, then writes the
// network read and reads that text once more. Prompts are refused and message boxes
// answered by a double; any outcome but a result is a fault (the reader traps its errors).
#include "model/basGlobal.h"
#include "network/clsNetwork.h"
#include "platform/Service.h"
#include "platform/TextEncoding.h"
#include "platform/doubles/ScriptedUiServices.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> ui;
    ui->messageBoxes.clear();
    ui->prompts.clear();
    basGlobal::ApplicationMode = size % 2 == 0 ? 0 : 1;

    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString text = platform::encoding::decodeStored(bytes);
    const auto network = kelvane::clsNetwork::create();
    network->SerializeInXML(text);

    QString written = network->SerializeOutXML();
    kelvane::clsNetwork::create()->SerializeInXML(written);
    return 0;
}
