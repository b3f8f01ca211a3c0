// The knowledge-server members: reading, writing and spooling through the program's session,
// and the lower-level networks read from the server.

#include "diagram/ctlPelnet.h"

#include "diagram/AbstractServerSession.h"
#include "diagram/DiagramSupport.h"
#include "model/ErrorTrap.h"
#include "model/Layer.h"
#include "model/xml/basXML.h"
#include "network/BusyPointer.h"
#include "platform/UiServices.h"

namespace kelvane {

using namespace diagramsupport;

QString ctlPelnet::ServerRead(const QString& strGUID, AbstractProgressBar* progress)
{
    return trapped(kModule, "ServerRead", QString(), [&] {
        return m_serverSession ? m_serverSession->ServerRead(strGUID, progress) : QString();
    });
}

QString ctlPelnet::ServerWrite(const QString& strGUID, const QString& strXML, const QString&, AbstractProgressBar* progress)
{
    return trapped(kModule, "ServerWrite", QString(), [&] {
        return m_serverSession ? m_serverSession->ServerWrite(strGUID, strXML, progress) : QString();
    });
}

void ctlPelnet::ServerUpdate(const QString& strGUID, const QString& strXML, const QString&, AbstractProgressBar* progress)
{
    trappedVoid(kModule, "ServerUpdate", [&] {
        if (m_serverSession)
            m_serverSession->ServerUpdate(strGUID, strXML, progress);
    });
}

bool ctlPelnet::LowerLevelNetworksGet(const std::shared_ptr<clsNetwork>& network, AbstractProgressBar* progress)
{
    return trapped(kModule, "LowerLevelNetworksGet", false, [&] {
        const BusyPointer busy;
        forEachNode(*requireObject(network), [&](const std::shared_ptr<Node>& node) {
            if (node->External() && !LowerLevelNetworkFind(node))
                LowerLevelNodeGet(node, progress);
        });
        return true;
    });
}

void ctlPelnet::LowerLevelNodeGet(const std::shared_ptr<Node>& node, AbstractProgressBar* progress)
{
    trappedVoid(kModule, "LowerLevelNodeGet", [&] {
        platform::ui().messageBox(QStringLiteral("should not be here!"), platform::msgbox::OKOnly, platform::applicationTitle());
        const auto network = clsNetwork::create();
        network->setNewGUIDs(NewGUIDs);
        attach(*network);
        QString text = ServerRead(requireObject(node)->ExternalNetworkGUID, progress);
        QString element = basXML::ExtractXMLElement(text, QStringLiteral("kelvanenetwork"));
        network->SerializeInXML(element, progress);
        Networks.Add(network);
        network->Index = conv::toInt16(double(Networks.Count()));
        linkToLowerLevel(node, network);
        LowerLevelNetworksGet(network, progress);
    });
}

} // namespace kelvane
