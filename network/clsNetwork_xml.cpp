#include "network/clsNetwork.h"

#include "model/Layer.h"
#include "model/Node.h"

namespace kelvane {

// The network text in its shortest form: the network element with the network's identity,
// then every node's element in layer order. The full network element is written by the XML
// document code.
QString clsNetwork::SerializeOutXML()
{
    QString text = QStringLiteral("<network networkguid='") + GUID() + QStringLiteral("'>\r\n</network>\r\n\r\n");
    for (const auto& layer : m_layers) {
        for (const auto& node : layer->Nodes())
            text += node->SerializeOutXML() + QStringLiteral("\r\n\r\n");
    }
    return text;
}

} // namespace kelvane
