#include "model/Page.h"

#include "model/AbstractNetwork.h"

namespace kelvane {

AbstractNetwork& Page::network() const
{
    if (!m_network)
        raiseError(err::ObjectNotSet);
    return *m_network;
}

QString Page::GUID() const
{
    return network().GUID();
}

Collection<std::shared_ptr<Layer>>& Page::Layers() const
{
    return network().Layers();
}

} // namespace kelvane
