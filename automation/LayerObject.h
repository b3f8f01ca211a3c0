#pragma once

#include "model/Layer.h"
#include "platform/automation/DispatchObject.h"

#include <QObject>

namespace kelvane::automation {

// A layer of a network as automation callers and macro code see it.
class LayerObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(qint16 Index READ Index WRITE setIndex)
    Q_PROPERTY(platform::automation::DispatchObject Nodes READ Nodes)
    Q_PROPERTY(platform::automation::DispatchObject KnowledgeBase READ KnowledgeBase)

public:
    using Model = kelvane::Layer;
    static constexpr const char* kClassName = "Layer";

    explicit LayerObject(std::shared_ptr<kelvane::Layer> layer) : m_layer(std::move(layer)) {}
    std::shared_ptr<kelvane::Layer> model() const { return m_layer; }

    qint16 Index() const { return m_layer->Index; }
    void setIndex(qint16 value) { m_layer->Index = value; }
    platform::automation::DispatchObject Nodes() const;
    platform::automation::DispatchObject KnowledgeBase() const;

    Q_INVOKABLE void AddNode() { m_layer->AddNode(); }

private:
    std::shared_ptr<kelvane::Layer> m_layer;
};

} // namespace kelvane::automation
