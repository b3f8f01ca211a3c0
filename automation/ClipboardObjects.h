#pragma once

#include "diagram/clsClipboard.h"
#include "model/clsAction.h"
#include "platform/automation/DispatchObject.h"

#include <QObject>

namespace kelvane::automation {

// One entry of the diagram's clipboard as automation callers and macro code see it. The objects
// it records are handed out as what they are: a node as a node, a network as its page.
class ClipboardActionObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(qint16 action READ action WRITE setaction)
    Q_PROPERTY(platform::automation::DispatchObject Object READ Object WRITE setObject)
    Q_PROPERTY(platform::automation::DispatchObject OriginalObject READ OriginalObject WRITE setOriginalObject)
    Q_PROPERTY(QString NetworkGUID READ NetworkGUID WRITE setNetworkGUID)
    Q_PROPERTY(qint16 ObjectType READ ObjectType WRITE setObjectType)

public:
    using Model = kelvane::clsAction;
    static constexpr const char* kClassName = "clsAction";

    ClipboardActionObject() : m_action(std::make_shared<kelvane::clsAction>()) {}
    explicit ClipboardActionObject(std::shared_ptr<kelvane::clsAction> action) : m_action(std::move(action)) {}
    std::shared_ptr<kelvane::clsAction> model() const { return m_action; }

    qint16 action() const { return m_action->action; }
    void setaction(qint16 value) { m_action->action = value; }
    platform::automation::DispatchObject Object() const;
    void setObject(const platform::automation::DispatchObject& object);
    platform::automation::DispatchObject OriginalObject() const;
    void setOriginalObject(const platform::automation::DispatchObject& object);
    QString NetworkGUID() const { return m_action->NetworkGUID; }
    void setNetworkGUID(const QString& value) { m_action->NetworkGUID = value; }
    qint16 ObjectType() const { return m_action->ObjectType; }
    void setObjectType(qint16 value) { m_action->ObjectType = value; }

private:
    std::shared_ptr<kelvane::clsAction> m_action;
};

// The diagram's clipboard of copies, cuts and snapshots. A new one (`new clsClipboard()`) is a
// clipboard of its own; the diagram's is the run's shared one.
class ClipboardObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(platform::automation::DispatchObject Actions READ Actions WRITE setActions)
    Q_PROPERTY(bool Paste READ Paste WRITE setPaste)

public:
    using Model = kelvane::clsClipboard;
    static constexpr const char* kClassName = "clsClipboard";

    ClipboardObject() : m_clipboard(std::make_shared<kelvane::clsClipboard>()) {}
    explicit ClipboardObject(std::shared_ptr<kelvane::clsClipboard> clipboard) : m_clipboard(std::move(clipboard)) {}
    std::shared_ptr<kelvane::clsClipboard> model() const { return m_clipboard; }

    // The entries, oldest first, as a collection made when read.
    platform::automation::DispatchObject Actions() const;
    void setActions(const platform::automation::DispatchObject& actions);
    bool Paste() const { return m_clipboard->Paste; }
    void setPaste(bool value) { m_clipboard->Paste = value; }
    Q_INVOKABLE void CheckLimit() { m_clipboard->CheckLimit(); }

private:
    std::shared_ptr<kelvane::clsClipboard> m_clipboard;
};

} // namespace kelvane::automation
