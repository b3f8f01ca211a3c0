// Deep copies of a network, for undo snapshots and for pasting.

#include "network/clsNetwork.h"

#include "model/ErrorTrap.h"
#include "model/Link.h"
#include "model/Property.h"
#include "model/TextLabel.h"
#include "model/basLibrary.h"
#include "model/clsControl.h"
#include "network/NetworkSupport.h"
#include "platform/Conversions.h"

#include <QHash>

namespace kelvane {

using namespace networksupport;

namespace {

template <class T>
void appendCopies(Collection<std::shared_ptr<T>>& copies, const Collection<std::shared_ptr<T>>& items)
{
    for (const auto& item : items)
        copies.Add(requireObject(item)->Clone());
}

// The copy's nodes by GUID; where GUIDs repeat, the last node in layer order wins.
QHash<QString, std::shared_ptr<Node>> nodesByGuid(const Collection<std::shared_ptr<Layer>>& layers)
{
    QHash<QString, std::shared_ptr<Node>> nodes;
    for (const auto& layer : layers) {
        for (const auto& node : layer->Nodes())
            nodes.insert(node->GUID, node);
    }
    return nodes;
}

std::shared_ptr<Node> copyOf(const QHash<QString, std::shared_ptr<Node>>& copies, const std::shared_ptr<Node>& original)
{
    return original ? copies.value(original->GUID) : nullptr;
}

} // namespace

std::shared_ptr<clsNetwork> clsNetwork::Clone(bool bNewGuids)
{
    return trapped(kModule, "Clone", std::shared_ptr<clsNetwork>(), [&] {
        const auto copy = create();
        copy->ParentDisplay = ParentDisplay;
        appendCopies(copy->Properties, Properties);
        appendCopies(copy->Controls, Controls);
        copy->m_guid = bNewGuids ? basLibrary::NewGUIDString() : m_guid;
        copy->Structured = Structured;

        // Layers with copies of their nodes (same GUIDs for now), numbered 1, 2, 3 ... in
        // layer order, then node order.
        for (const auto& layer : m_layers) {
            const auto layerCopy = requireObject(layer)->Clone(false);
            layerCopy->Network = copy;
            for (const auto& node : layerCopy->Nodes()) {
                copy->cintCounter = conv::add32(copy->cintCounter, 1);
                node->NodeNumber = copy->cintCounter;
                node->Network = copy;
            }
            copy->m_layers.Add(layerCopy);
        }

        // Links join the copies of their ends, found by GUID. A link whose end is missing
        // cannot be copied: it is reported and left out, and the copy goes on.
        const auto copies = nodesByGuid(copy->m_layers);
        for (const auto& layer : m_layers) {
            for (const auto& node : layer->Nodes()) {
                for (const auto& link : requireObject(node)->Links()) {
                    const auto& original = *requireObject(link);
                    const auto to = copyOf(copies, original.ConnectionTo);
                    const auto from = copyOf(copies, original.ConnectionFrom.lock());
                    if (!to || !from) {
                        basLibrary::ReportError(QString::fromLatin1(kModule), QStringLiteral("Clone"),
                                                RuntimeError(err::ObjectNotSet,
                                                             QStringLiteral("A link without both of its nodes was left out of the copy.")));
                        continue;
                    }
                    original.copyBetween(from, to);
                }
            }
        }

        // New node GUIDs only now, so that the links above found their ends.
        if (bNewGuids) {
            for (const auto& layer : copy->m_layers) {
                for (const auto& node : layer->Nodes())
                    node->GUID = basLibrary::NewGUIDString();
            }
        }

        copy->setDirty(m_dirty);
        copy->cintCounter = cintCounter;
        copy->m_name = Name()->Clone();
        copy->m_version = m_version;
        copy->m_author = Author()->Clone();
        copy->m_copyright = Copyright()->Clone();
        copy->Password = Password;
        copy->EditorPassword = EditorPassword;
        copy->Description = Description;
        copy->m_scenarioName = m_scenarioName;
        copy->SupportURL = SupportURL;
        copy->PollingInterval = PollingInterval;
        copy->Picture = Picture;
        copy->Background = Background;
        copy->m_kbDescription = KBDescription()->Clone();
        copy->BackColour = BackColour;
        copy->NodeColour = NodeColour;
        copy->HighlightColour = HighlightColour;
        copy->ShadowColour = ShadowColour;
        copy->PositiveColour = PositiveColour;
        copy->NegativeColour = NegativeColour;
        copy->MoreInfoRoot = MoreInfoRoot;
        copy->TooltipText = TooltipText;
        copy->NetworkType = NetworkType;
        copy->m_newGUIDs = m_newGUIDs;
        copy->Index = Index;
        copy->setFileName(m_fileName);
        copy->AutoAnswer = AutoAnswer;
        copy->ShowAnswer = ShowAnswer;
        return copy;
    });
}

} // namespace kelvane
