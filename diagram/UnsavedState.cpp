#include "diagram/UnsavedState.h"

#include "diagram/DiagramSupport.h"
#include "network/clsNetwork.h"

#include <QScopedValueRollback>

namespace kelvane {

using namespace diagramsupport;

UnsavedState::UnsavedState(const Collection<std::shared_ptr<clsNetwork>>& networks)
{
    for (const auto& network : networks.Snapshot()) {
        if (!network)
            continue;
        if (network->Dirty())
            m_dirty.push_back(network);
        forEachNode(*network, [&](const std::shared_ptr<Node>& node) {
            if (!node->ExternalFile.isEmpty())
                m_externalFiles.emplace_back(node, node->ExternalFile);
        });
    }
}

void UnsavedState::restore(bool& loaded) const
{
    const QScopedValueRollback quiet(loaded, false);
    for (const auto& network : m_dirty)
        network->setDirty(true);
    for (const auto& [node, file] : m_externalFiles)
        node->ExternalFile = file;
}

} // namespace kelvane
