// Opens the input as a knowledge-base document through the diagram control, as the program
// opens a file: a compound file or a text document (XML or the older text form), with its
// pictures, its lower levels and the files its external nodes name, then draws it and builds
// the report tree of what was opened. The control traps its errors: any outcome but a result
// is a fault.
//
// Input: the document's bytes; after the first "\0LOWER\0", the bytes of the files
// "lower.xml", "lower.qkb" and "lower.txt" beside it, which external nodes may name.
#include "FuzzSupport.h"

#include "diagram/ctlPelnet.h"
#include "model/AbstractKnowledgeBase.h"
#include "model/Layer.h"
#include "model/basGlobal.h"
#include "network/clsNetwork.h"
#include "platform/Service.h"
#include "platform/doubles/ScriptedUiServices.h"
#include "shell/KelvaneTreeview.h"

#include <QTreeWidget>

namespace {

// The report's lines follow every path through the links: it is built only for small
// networks, so the fuzzer spends its time on the readers.
constexpr qint32 kMostNodesReported = 8;

const QByteArray kLowerMarker("\0LOWER\0", 7);

// Names under these folders are files of the system whose content is made when read (and
// some never end): a document that names one reads the machine, not the input.
bool namesSystemFiles(const QByteArray& input)
{
    QByteArray text = input;
    text.replace('\\', '/');
    for (const char* folder : {"/proc", "/sys"}) {
        if (text.contains(folder))
            return true;
    }
    return false;
}

class OpenedKnowledgeBase : public kelvane::AbstractKnowledgeBase {
public:
    explicit OpenedKnowledgeBase(std::shared_ptr<kelvane::clsNetwork> network) : m_network(std::move(network)) {}
    std::shared_ptr<kelvane::AbstractNetwork> Network() override { return m_network; }
    bool AutoAnswer() override { return false; }

private:
    std::shared_ptr<kelvane::clsNetwork> m_network;
};

qint32 nodesIn(kelvane::ctlPelnet& control)
{
    qint32 count = 0;
    for (const auto& network : control.Networks)
        count += network ? network->NodeCount() : 0;
    return count;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietMessages();
    fuzz::ensureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kelvane;
    const QByteArray input = fuzz::bytesOf(data, size);
    if (namesSystemFiles(input))
        return -1;
    static platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> ui;
    ui->messageBoxes.clear();
    ui->prompts.clear();
    basGlobal::ApplicationMode = 0;

    const QString folder = fuzz::scratchFolder();
    const qsizetype marker = input.indexOf(kLowerMarker);
    const QByteArray lower = marker < 0 ? QByteArray() : input.mid(marker + kLowerMarker.size());
    for (const char* name : {"lower.xml", "lower.qkb", "lower.txt"})
        fuzz::writeFile(folder + u'/' + QLatin1String(name), lower);
    const QString document = folder + QStringLiteral("/document.qkb");
    fuzz::writeFile(document, marker < 0 ? input : input.left(marker));

    // Pictures are named relative to the working folder.
    const fuzz::WorkingFolder working(folder);
    ctlPelnet control;
    control.resize(320, 240);
    control.Network()->setFileName(document);
    if (!control.FileOpen(nullptr, false))
        return 0;
    control.DrawNetwork();

    if (nodesIn(control) <= kMostNodesReported) {
        KelvaneTreeview tree;
        tree.KnowledgeBase = std::make_shared<OpenedKnowledgeBase>(control.Network());
        tree.DrawReport();
        tree.TreeView1()->expandAll();
    }
    return 0;
}
