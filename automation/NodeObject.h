#pragma once

#include "model/Node.h"
#include "platform/automation/DispatchObject.h"

#include <QObject>

namespace kelvane::automation {

// A node as automation callers and macro code see it: a view of one model node.
class NodeObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(platform::automation::DispatchObject Question READ Question WRITE setQuestion)
    Q_PROPERTY(platform::automation::DispatchObject Reason READ Reason WRITE setReason)
    Q_PROPERTY(platform::automation::DispatchObject Answers READ Answers)
    Q_PROPERTY(platform::automation::DispatchObject Links READ Links)
    Q_PROPERTY(double Default READ Default WRITE setDefault)
    Q_PROPERTY(bool NoDefault READ NoDefault WRITE setNoDefault)
    Q_PROPERTY(platform::automation::DispatchObject Justification READ Justification WRITE setJustification)
    Q_PROPERTY(qint32 Color READ Color WRITE setColor)
    Q_PROPERTY(bool Plural READ Plural WRITE setPlural)
    Q_PROPERTY(platform::automation::DispatchObject Properties READ Properties)
    Q_PROPERTY(QString GUID READ GUID WRITE setGUID)
    Q_PROPERTY(QString OldGUID READ OldGUID WRITE setOldGUID)
    Q_PROPERTY(platform::automation::DispatchObject Layer READ Layer)
    Q_PROPERTY(bool Answered READ Answered WRITE setAnswered)
    Q_PROPERTY(double DOT READ DOT WRITE setDOT)
    Q_PROPERTY(bool AutoAnswer READ AutoAnswer WRITE setAutoAnswer)
    Q_PROPERTY(platform::automation::DispatchObject LowerLevelNode READ LowerLevelNode)
    Q_PROPERTY(platform::automation::DispatchObject HigherLevelNodes READ HigherLevelNodes)
    Q_PROPERTY(QString TooltipText READ TooltipText WRITE setTooltipText)
    Q_PROPERTY(QString ExternalNetworkGUID READ ExternalNetworkGUID WRITE setExternalNetworkGUID)
    Q_PROPERTY(bool Contradiction READ Contradiction WRITE setContradiction)
    Q_PROPERTY(platform::automation::DispatchObject Controls READ Controls)
    Q_PROPERTY(platform::automation::DispatchObject ControlsBackup READ ControlsBackup)
    Q_PROPERTY(qint16 SourceIndex READ SourceIndex WRITE setSourceIndex)
    Q_PROPERTY(bool Selected READ Selected WRITE setSelected)
    Q_PROPERTY(QString MoreInfo READ MoreInfo WRITE setMoreInfo)
    Q_PROPERTY(bool External READ External)
    Q_PROPERTY(bool Overridden READ Overridden WRITE setOverridden)
    Q_PROPERTY(QString ExternalGUID READ ExternalGUID)
    Q_PROPERTY(double Answer READ Answer WRITE setAnswer)
    Q_PROPERTY(qint16 Index READ Index)
    Q_PROPERTY(platform::automation::DispatchObject Name READ Name WRITE setName)
    Q_PROPERTY(platform::automation::DispatchObject Parents READ Parents)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(platform::automation::DispatchObject LowerLevelPage READ LowerLevelPage)
    Q_PROPERTY(bool Irrelevant READ Irrelevant)
    Q_PROPERTY(bool NeedInfo READ NeedInfo)
    Q_PROPERTY(bool Required READ Required)

public:
    using DispatchObject = platform::automation::DispatchObject;
    using Model = kelvane::Node;
    static constexpr const char* kClassName = "Node";

    explicit NodeObject(std::shared_ptr<kelvane::Node> node) : m_node(std::move(node)) {}
    std::shared_ptr<kelvane::Node> model() const { return m_node; }

    DispatchObject Question() const;
    void setQuestion(const DispatchObject& label);
    DispatchObject Reason() const;
    void setReason(const DispatchObject& label);
    DispatchObject Answers() const;
    DispatchObject Links() const;
    double Default() const { return m_node->Default; }
    void setDefault(double value) { m_node->Default = value; }
    bool NoDefault() const { return m_node->NoDefault; }
    void setNoDefault(bool value) { m_node->NoDefault = value; }
    DispatchObject Justification() const;
    void setJustification(const DispatchObject& label);
    qint32 Color() const { return m_node->Color; }
    void setColor(qint32 value) { m_node->Color = value; }
    bool Plural() const { return m_node->Plural; }
    void setPlural(bool value) { m_node->Plural = value; }
    DispatchObject Properties() const;
    QString GUID() const { return m_node->GUID; }
    void setGUID(const QString& value) { m_node->GUID = value; }
    QString OldGUID() const { return m_node->OldGUID; }
    void setOldGUID(const QString& value) { m_node->OldGUID = value; }
    DispatchObject Layer() const;
    bool Answered() const { return m_node->Answered; }
    void setAnswered(bool value) { m_node->Answered = value; }
    double DOT() const { return m_node->DOT; }
    void setDOT(double value) { m_node->DOT = value; }
    bool AutoAnswer() const { return m_node->AutoAnswer; }
    void setAutoAnswer(bool value) { m_node->AutoAnswer = value; }
    DispatchObject LowerLevelNode() const;
    DispatchObject HigherLevelNodes() const;
    QString TooltipText() const { return m_node->TooltipText; }
    void setTooltipText(const QString& value) { m_node->TooltipText = value; }
    QString ExternalNetworkGUID() const { return m_node->ExternalNetworkGUID; }
    void setExternalNetworkGUID(const QString& value) { m_node->ExternalNetworkGUID = value; }
    bool Contradiction() const { return m_node->Contradiction; }
    void setContradiction(bool value) { m_node->Contradiction = value; }
    DispatchObject Controls() const;
    DispatchObject ControlsBackup() const;
    qint16 SourceIndex() const { return m_node->SourceIndex(); }
    void setSourceIndex(qint16 value) { m_node->setSourceIndex(value); }
    bool Selected() const { return m_node->Selected(); }
    void setSelected(bool value) { m_node->setSelected(value); }
    QString MoreInfo() const { return m_node->MoreInfo(); }
    void setMoreInfo(const QString& value) { m_node->setMoreInfo(value); }
    bool External() const { return m_node->External(); }
    bool Overridden() const { return m_node->Overridden(); }
    void setOverridden(bool value) { m_node->setOverridden(value); }
    QString ExternalGUID() const { return m_node->ExternalGUID(); }
    double Answer() const { return m_node->Answer(); }
    void setAnswer(double value) { m_node->setAnswer(value); }
    qint16 Index() const { return m_node->Index(); }
    DispatchObject Name() const;
    void setName(const DispatchObject& label);
    DispatchObject Parents() const;
    bool Enabled() const { return m_node->Enabled(); }
    void setEnabled(bool value) { m_node->setEnabled(value); }
    DispatchObject LowerLevelPage() const;
    bool Irrelevant() const { return m_node->Irrelevant(); }
    bool NeedInfo() const { return m_node->NeedInfo(); }
    bool Required() const { return m_node->Required(); }

    Q_INVOKABLE void AddLink(const platform::automation::DispatchObject& Target);
    Q_INVOKABLE void ReOrderLinks() { m_node->ReOrderLinks(); }
    Q_INVOKABLE platform::automation::DispatchObject Clone(bool bNewGUID);
    Q_INVOKABLE void Reset() { m_node->Reset(); }

private:
    std::shared_ptr<kelvane::Node> m_node;
};

} // namespace kelvane::automation
