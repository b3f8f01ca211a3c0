#pragma once

#include <QString>

namespace kelvane {

class clsNetwork;

// Writes the XML text of one network: its network element (settings, texts, passwords,
// display scheme, properties, controls), a blank line, then the element of every node,
// layer by layer, each followed by a blank line. Every line ends in CR LF.
class NetworkXMLWriter {
public:
    explicit NetworkXMLWriter(clsNetwork& network) : m_network(network) {}

    // Raises an error, rather than leaving a node out, when a node's element cannot be made.
    // The text is written after `before` (which a document can then hold without a copy).
    QString text(QString before = {}) const;

private:
    QString networkElement() const;
    QString displayScheme() const;

    clsNetwork& m_network;
};

} // namespace kelvane
