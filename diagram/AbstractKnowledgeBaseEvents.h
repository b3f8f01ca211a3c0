#pragma once

#include "platform/Service.h"

#include <QtGlobal>
#include <memory>

namespace kelvane {

class Link;
class Node;

// The program's one live KnowledgeBase object as the diagram control raises its pointer
// events on it. The automation layer installs the object (made on first use) as the
// service below; until it does, the events reach no handler. Every argument is passed by
// reference: a handler may change it, and the control goes on with what the handler left.
class AbstractKnowledgeBaseEvents {
public:
    virtual ~AbstractKnowledgeBaseEvents() = default;

    // The pointer moved over the canvas; the position in canvas units.
    virtual void FireNetworkMouseMove(float& X, float& Y) = 0;
    virtual void FireNodeMouseMove(std::shared_ptr<Node>& node) = 0;
    virtual void FireLinkMouseMove(std::shared_ptr<Link>& link) = 0;

    // A button (1 left, 2 right, 0 the space key) was released over the canvas, a node or a link.
    virtual void FireNetworkMouseClick(qint16& Button) = 0;
    virtual void FireNodeMouseClick(qint16& Button, std::shared_ptr<Node>& node) = 0;
    virtual void FireLinkMouseClick(qint16& Button, std::shared_ptr<Link>& link) = 0;
};

// Without an automation object model: every event goes nowhere.
class NoKnowledgeBaseEvents : public AbstractKnowledgeBaseEvents {
public:
    void FireNetworkMouseMove(float&, float&) override {}
    void FireNodeMouseMove(std::shared_ptr<Node>&) override {}
    void FireLinkMouseMove(std::shared_ptr<Link>&) override {}
    void FireNetworkMouseClick(qint16&) override {}
    void FireNodeMouseClick(qint16&, std::shared_ptr<Node>&) override {}
    void FireLinkMouseClick(qint16&, std::shared_ptr<Link>&) override {}
};

} // namespace kelvane

template <>
struct platform::ServiceDefault<kelvane::AbstractKnowledgeBaseEvents> {
    static std::unique_ptr<kelvane::AbstractKnowledgeBaseEvents> create()
    {
        return std::make_unique<kelvane::NoKnowledgeBaseEvents>();
    }
};

namespace kelvane {

// The live KnowledgeBase object's event raisers.
inline AbstractKnowledgeBaseEvents& liveKnowledgeBase()
{
    return platform::Service<AbstractKnowledgeBaseEvents>::get();
}

} // namespace kelvane
