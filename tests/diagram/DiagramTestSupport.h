#pragma once

#include "diagram/AbstractKnowledgeBaseEvents.h"
#include "diagram/clsClipboard.h"
#include "diagram/ctlPelnet.h"
#include "diagram/doubles/RecordingKnowledgeBaseEvents.h"
#include "diagram/doubles/RecordingParentForm.h"
#include "model/basGlobal.h"
#include "tests/network/NetworkBuilder.h"
#include "tests/support/ErrorAssertions.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <memory>

namespace kelvane::test {

// Makes `upper`'s node an external node that opens `lower` at `entry`, as document open
// links them.
inline void openLowerLevel(const std::shared_ptr<Node>& external, const std::shared_ptr<clsNetwork>& upper,
                           const std::shared_ptr<clsNetwork>& lower, const std::shared_ptr<Node>& entry)
{
    external->setExternal(true);
    external->LowerLevelNetwork = lower;
    external->ExternalNetworkGUID = lower->GUID();
    external->setExternalGUID(entry->GUID);
    external->LowerLevelNode = entry;
    entry->HigherLevelNodes.Add(external);
    entry->HigherLevelNetworks.Add(upper);
}

// Makes the networks the control's document: the first is the root, the others follow as
// lower-level networks in order.
inline void showNetworks(ctlPelnet& control, const std::vector<std::shared_ptr<clsNetwork>>& networks)
{
    control.setNetwork(networks.front());
    control.Networks.Clear();
    qint16 index = 0;
    for (const auto& network : networks) {
        network->Index = ++index;
        network->ParentDisplay = control.Network()->ParentDisplay;
        control.Networks.Add(network);
    }
}

// A shown diagram control (400 x 300 pixels: a canvas of 6000 x 4500 twips) with scripted
// UI services, a recording knowledge-base object and a recording host window; the shared
// clipboard starts empty and the program is in editing mode.
// The names of the network's nodes marked selected, in layer and node order.
inline std::vector<std::string> selectedNames(clsNetwork& network)
{
    std::vector<std::string> names;
    for (const auto& layer : network.Layers())
        for (const auto& node : layer->Nodes())
            if (node->Selected())
                names.push_back(node->Name()->Text().toStdString());
    return names;
}

class DiagramTest : public ::testing::Test {
protected:
    DiagramTest()
    {
        basGlobal::ApplicationMode = 0;
        sharedClipboard()->Actions.Clear();
        sharedClipboard()->Paste = false;
        control->resize(400, 300);
        control->show();
        control->ParentForm = &form;
    }
    ~DiagramTest() override
    {
        control.reset();
        // Unloaded narrator buttons go with the deferred deletions.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        basGlobal::ApplicationMode = 0;
    }

    // Makes the networks the control's document: the first is the root, the others follow
    // as lower-level networks in order.
    void useNetworks(const std::vector<std::shared_ptr<clsNetwork>>& networks) { showNetworks(*control, networks); }

    platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> ui;
    platform::ScopedService<AbstractKnowledgeBaseEvents, doubles::RecordingKnowledgeBaseEvents> events;
    doubles::RecordingParentForm form;
    std::unique_ptr<ctlPelnet> control = std::make_unique<ctlPelnet>();
};

} // namespace kelvane::test
