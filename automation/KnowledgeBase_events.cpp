// The knowledge base's events: each raised under the error trap, counted as an event under way,
// with the values its handlers leave handed back.

#include "automation/KnowledgeBase.h"

#include "automation/KnowledgeBaseSupport.h"
#include "automation/LinkObject.h"
#include "automation/NodeObject.h"
#include "automation/ObjectModel.h"
#include "model/ErrorTrap.h"
#include "model/Node.h"
#include "network/clsNetwork.h"

#include <QScopedValueRollback>

namespace kelvane {

using namespace automation;
using namespace knowledgebasesupport;

namespace {

// A handler may give an event back another object of the same class, or Nothing.
template <class View>
void handBack(const DispatchObject& left, std::shared_ptr<typename View::Model>& model)
{
    if (left.isNothing())
        model.reset();
    else if (auto changed = modelOf<View>(left))
        model = std::move(changed);
}

// Counts an event under way for as long as it lives.
class EventUnderWay {
public:
    EventUnderWay() : m_host(automationHost())
    {
        if (m_host)
            m_host->beginEvent();
    }
    ~EventUnderWay()
    {
        if (m_host)
            m_host->endEvent();
    }
    EventUnderWay(const EventUnderWay&) = delete;
    EventUnderWay& operator=(const EventUnderWay&) = delete;

private:
    AutomationHost* m_host;
};

} // namespace

template <class Body>
void KnowledgeBase::raising(const char* raiser, Body&& body)
{
    const EventUnderWay underWay;
    trappedVoid(kModule, raiser, std::forward<Body>(body));
}

void KnowledgeBase::markChanged(const std::shared_ptr<Node>& node)
{
    if (!node)
        return;
    if (const auto network = std::dynamic_pointer_cast<clsNetwork>(node->Network.lock()))
        network->setDirty(true);
}

void KnowledgeBase::FireNewDocument()
{
    raising("FireNewDocument", [&] { Q_EMIT NewDocument(); });
}

void KnowledgeBase::FireLoad(bool& Cancel)
{
    raising("FireLoad", [&] {
        const QScopedValueRollback underWay(m_loadUnderWay, true);
        Q_EMIT Load(Cancel);
    });
}

void KnowledgeBase::FireBeforeClose(bool& Cancel)
{
    raising("FireBeforeClose", [&] { Q_EMIT Unload(Cancel); });
}

void KnowledgeBase::FireNodeAnswer(std::shared_ptr<Node>& node, bool& Cancel)
{
    raising("FireNodeAnswer", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT BeforeAnswer(Node1, Cancel);
        handBack<NodeObject>(Node1, node);
    });
}

void KnowledgeBase::FireNodeQuestion(std::shared_ptr<Node>& node, bool& Cancel)
{
    raising("FireNodeQuestion", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT BeforeQuestion(Node1, Cancel);
        handBack<NodeObject>(Node1, node);
        if (Cancel)
            markChanged(node);
    });
}

void KnowledgeBase::FireNodePrecondition(std::shared_ptr<Node>& node, bool& Cancel)
{
    raising("FireNodePrecondition", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT BeforePrecondition(Node1, Cancel);
        handBack<NodeObject>(Node1, node);
    });
}

void KnowledgeBase::FireNodeAfterAnswer(std::shared_ptr<Node>& node, qint16& flag)
{
    raising("FireNodeAfterAnswer", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT AfterAnswer(Node1, flag);
        handBack<NodeObject>(Node1, node);
    });
}

void KnowledgeBase::FireNodeAfterQuestion(std::shared_ptr<Node>& node, qint16& flag)
{
    raising("FireNodeAfterQuestion", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT AfterQuestion(Node1, flag);
        handBack<NodeObject>(Node1, node);
        if (flag != 0)
            markChanged(node);
    });
}

void KnowledgeBase::FireNodeAfterPrecondition(std::shared_ptr<Node>& node, qint16& flag)
{
    raising("FireNodeAfterPrecondition", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT AfterPrecondition(Node1, flag);
        handBack<NodeObject>(Node1, node);
    });
}

// The consultation reads back only the cancel.
void KnowledgeBase::FireNodeAnswer(const std::shared_ptr<Node>& node, bool& Cancel)
{
    auto Node1 = node;
    FireNodeAnswer(Node1, Cancel);
}

void KnowledgeBase::FireNodeQuestion(const std::shared_ptr<Node>& node, bool& Cancel)
{
    auto Node1 = node;
    FireNodeQuestion(Node1, Cancel);
}

void KnowledgeBase::FireNodePrecondition(const std::shared_ptr<Node>& node, bool& Cancel)
{
    auto Node1 = node;
    FireNodePrecondition(Node1, Cancel);
}

void KnowledgeBase::FireNodeAfterAnswer(const std::shared_ptr<Node>& node, qint16& flag)
{
    auto Node1 = node;
    FireNodeAfterAnswer(Node1, flag);
}

void KnowledgeBase::FireNodeAfterQuestion(const std::shared_ptr<Node>& node, qint16& flag)
{
    auto Node1 = node;
    FireNodeAfterQuestion(Node1, flag);
}

void KnowledgeBase::FireNodeAfterPrecondition(const std::shared_ptr<Node>& node, qint16& flag)
{
    auto Node1 = node;
    FireNodeAfterPrecondition(Node1, flag);
}

void KnowledgeBase::FireNetworkMouseMove(float& X, float& Y)
{
    raising("FireNetworkMouseMove", [&] { Q_EMIT MouseMove(X, Y); });
}

void KnowledgeBase::FireNetworkMouseClick(qint16& Button)
{
    raising("FireNetworkMouseClick", [&] { Q_EMIT MouseClick(Button); });
}

void KnowledgeBase::FireNodeMouseMove(std::shared_ptr<Node>& node)
{
    raising("FireNodeMouseMove", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT NodeMouseMove(Node1);
        handBack<NodeObject>(Node1, node);
    });
}

void KnowledgeBase::FireNodeMouseClick(qint16& Button, std::shared_ptr<Node>& node)
{
    raising("FireNodeMouseClick", [&] {
        DispatchObject Node1 = viewOf<NodeObject>(node);
        Q_EMIT NodeMouseClick(Button, Node1);
        handBack<NodeObject>(Node1, node);
    });
}

void KnowledgeBase::FireLinkMouseMove(std::shared_ptr<Link>& link)
{
    raising("FireLinkMouseMove", [&] {
        DispatchObject Link1 = viewOf<LinkObject>(link);
        Q_EMIT LinkMouseMove(Link1);
        handBack<LinkObject>(Link1, link);
    });
}

void KnowledgeBase::FireLinkMouseClick(qint16& Button, std::shared_ptr<Link>& link)
{
    raising("FireLinkMouseClick", [&] {
        DispatchObject Link1 = viewOf<LinkObject>(link);
        Q_EMIT LinkMouseClick(Button, Link1);
        handBack<LinkObject>(Link1, link);
    });
}

void KnowledgeBase::FireMenuClick(DispatchObject& menuItem)
{
    raising("FireMenuClick", [&] { Q_EMIT MenuClick(menuItem); });
}

} // namespace kelvane
