#pragma once

#include "diagram/AbstractKnowledgeBaseEvents.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace kelvane::doubles {

// The live knowledge-base object for tests: records every event raised, in order, as
// "<event> <arguments>" ("NodeMouseClick 1", "NetworkMouseMove 150 300"), with the objects.
// A test may give the node click a handler that changes its arguments.
class RecordingKnowledgeBaseEvents : public AbstractKnowledgeBaseEvents {
public:
    QStringList events;
    std::vector<std::shared_ptr<Node>> nodes; // the node of each node event, in order
    std::vector<std::shared_ptr<Link>> links; // the link of each link event, in order
    std::function<void(qint16& Button, std::shared_ptr<Node>& node)> onNodeMouseClick;

    void FireNetworkMouseMove(float& X, float& Y) override
    {
        events << QStringLiteral("NetworkMouseMove %1 %2").arg(X).arg(Y);
    }
    void FireNodeMouseMove(std::shared_ptr<Node>& node) override
    {
        events << QStringLiteral("NodeMouseMove");
        nodes.push_back(node);
    }
    void FireLinkMouseMove(std::shared_ptr<Link>& link) override
    {
        events << QStringLiteral("LinkMouseMove");
        links.push_back(link);
    }
    void FireNetworkMouseClick(qint16& Button) override { events << QStringLiteral("NetworkMouseClick %1").arg(Button); }
    void FireNodeMouseClick(qint16& Button, std::shared_ptr<Node>& node) override
    {
        events << QStringLiteral("NodeMouseClick %1").arg(Button);
        nodes.push_back(node);
        if (onNodeMouseClick)
            onNodeMouseClick(Button, node);
    }
    void FireLinkMouseClick(qint16& Button, std::shared_ptr<Link>& link) override
    {
        events << QStringLiteral("LinkMouseClick %1").arg(Button);
        links.push_back(link);
    }
};

} // namespace kelvane::doubles
