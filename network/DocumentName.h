#pragma once

#include "network/clsNetwork.h"

#include <QString>

namespace kelvane {

// A network's file name with what the network derives from it (its storage form and type),
// kept to be given back after a save under another name failed.
class DocumentName {
public:
    explicit DocumentName(const clsNetwork& network)
        : m_fileName(network.FileName()), m_structured(network.Structured), m_networkType(network.NetworkType)
    {
    }
    void restore(clsNetwork& network) const
    {
        network.setFileName(m_fileName);
        network.Structured = m_structured;
        network.NetworkType = m_networkType;
    }

private:
    QString m_fileName;
    bool m_structured;
    qint16 m_networkType;
};

} // namespace kelvane
