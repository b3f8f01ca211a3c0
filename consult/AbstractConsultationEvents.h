#pragma once

#include "platform/Service.h"

#include <QtGlobal>
#include <memory>

namespace kelvane {

class Node;

// The program's one live KnowledgeBase object as a consultation raises its step events on
// it. Every argument is handed over by reference: a handler in a macro or an automation
// client may set Cancel or the flag, and the consultation reads it back after the raise.
// The automation layer installs the object as the service below; until it does, every
// event reaches no handler and comes back unchanged.
class AbstractConsultationEvents {
public:
    virtual ~AbstractConsultationEvents() = default;

    // BeforePrecondition, BeforeQuestion and BeforeAnswer: a handler may cancel the step.
    virtual void FireNodePrecondition(const std::shared_ptr<Node>& node, bool& Cancel) = 0;
    virtual void FireNodeQuestion(const std::shared_ptr<Node>& node, bool& Cancel) = 0;
    virtual void FireNodeAnswer(const std::shared_ptr<Node>& node, bool& Cancel) = 0;

    // AfterPrecondition, AfterQuestion and AfterAnswer: a handler may set the flag.
    virtual void FireNodeAfterPrecondition(const std::shared_ptr<Node>& node, qint16& flag) = 0;
    virtual void FireNodeAfterQuestion(const std::shared_ptr<Node>& node, qint16& flag) = 0;
    virtual void FireNodeAfterAnswer(const std::shared_ptr<Node>& node, qint16& flag) = 0;
};

// Without an automation object model: no handler ever changes an argument.
class NoConsultationEvents : public AbstractConsultationEvents {
public:
    void FireNodePrecondition(const std::shared_ptr<Node>&, bool&) override {}
    void FireNodeQuestion(const std::shared_ptr<Node>&, bool&) override {}
    void FireNodeAnswer(const std::shared_ptr<Node>&, bool&) override {}
    void FireNodeAfterPrecondition(const std::shared_ptr<Node>&, qint16&) override {}
    void FireNodeAfterQuestion(const std::shared_ptr<Node>&, qint16&) override {}
    void FireNodeAfterAnswer(const std::shared_ptr<Node>&, qint16&) override {}
};

} // namespace kelvane

template <>
struct platform::ServiceDefault<kelvane::AbstractConsultationEvents> {
    static std::unique_ptr<kelvane::AbstractConsultationEvents> create()
    {
        return std::make_unique<kelvane::NoConsultationEvents>();
    }
};

namespace kelvane {

// The live KnowledgeBase object's consultation raisers.
inline AbstractConsultationEvents& consultationEvents()
{
    return platform::Service<AbstractConsultationEvents>::get();
}

} // namespace kelvane
