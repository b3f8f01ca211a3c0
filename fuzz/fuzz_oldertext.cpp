// Reads the input as a knowledge base of the older text form, as opening such a file does.
// Prompts are refused and message boxes answered by a double; any outcome but a result is
// a fault (the reader traps its errors).
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
    QString text = platform::encoding::fromAnsi(bytes);
    kelvane::clsNetwork::create()->FileOpen(text, false);
    return 0;
}
