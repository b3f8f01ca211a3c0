#pragma once

#include "platform/Collection.h"

#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <memory>
#include <optional>

namespace kelvane {

class AbstractNetwork;
class AbstractNodeButton;
class HeldErrors;
class Layer;
class Link;
class Page;
class Property;
class TextLabel;
class clsControl;

// One question of a knowledge base: its texts, answer options, links to the nodes it
// depends on, controls and properties, and its answer as a degree of truth (0 false,
// 1 true, 0.5 undecided). Nodes are always held by std::shared_ptr: setting Answer passes
// the node itself to the inference.
class Node : public std::enable_shared_from_this<Node> {
public:
    Node(); // Default 0.5, NoDefault true, a new GUID; empty labels for the texts
    // The same with the GUID given (none when empty): a reader that takes the GUID from its
    // document makes no new one only to replace it.
    explicit Node(QString guid);
    ~Node();
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    // --- Public fields -------------------------------------------------------------------
    std::shared_ptr<TextLabel> Question;
    std::shared_ptr<TextLabel> Reason;
    // Answer options: the first stands for 1 (true), the last for 0 (false), evenly spaced.
    Collection<std::shared_ptr<TextLabel>> Answers;
    // Links to the nodes this node depends on (kept by the network's link operations).
    Collection<std::shared_ptr<Link>>& Links() { return m_links; }
    const Collection<std::shared_ptr<Link>>& Links() const { return m_links; }
    double Default = 0.5;  // the answer Reset restores when the node has a default
    std::shared_ptr<TextLabel> Justification;
    Collection<std::shared_ptr<Property>> Properties;
    QString GUID;
    QString OldGUID; // identity where the node was read or pasted from
    std::weak_ptr<kelvane::Layer> Layer;
    // DOT, the degree of truth, stands with the flags at the end of the fields.
    // For an external node: the node of its lower-level network whose answer it carries.
    std::shared_ptr<Node> LowerLevelNode;
    // External nodes of higher-level networks whose LowerLevelNode is this node, and their networks.
    Collection<std::weak_ptr<Node>> HigherLevelNodes;
    Collection<std::weak_ptr<AbstractNetwork>> HigherLevelNetworks;
    QString TooltipText;
    QString ExternalNetworkGUID;
    // Per-node controls: name and value pairs.
    Collection<std::shared_ptr<clsControl>>& Controls() { return m_controls; }
    const Collection<std::shared_ptr<clsControl>>& Controls() const { return m_controls; }
    Collection<std::shared_ptr<clsControl>> ControlsBackup; // offered to automation clients only
    AbstractNodeButton* Button = nullptr; // the narrator button, not owned; null when none
    // The small fields stand together (the program-internal ones below too): a large document
    // holds many nodes, and scattered among the others each would be padded. The flags stand
    // at the end of the fields.
    qint32 Color = 0;
    // Numbers and places are 32-bit: a network may hold more nodes than 16 bits can count.
    // Layer numbers are stored and read as 16-bit integers (a network holds at most 32767 layers).
    qint32 NodeNumber = 0; // program-internal: number within the network; gives the default name
    qint32 LayerIndex = 0; // program-internal: layer number as the document forms store it
    qint32 NodeIndex = 0;  // program-internal: place within the layer as the document forms store it

    // --- Public properties and methods ----------------------------------------------------
    qint16 SourceIndex() const { return m_sourceIndex; }
    void setSourceIndex(qint16 value) { m_sourceIndex = value; }

    bool Selected() const { return m_selected; }
    // Selecting moves the focus to the narrator button, unless the button's own focus selects.
    void setSelected(bool value);

    QString MoreInfo() const { return m_moreInfo; }
    void setMoreInfo(const QString& value) { m_moreInfo = value; }

    bool External() const { return m_external; }
    void setExternal(bool value) { m_external = value; } // program-internal

    bool Overridden() const { return m_overridden; }
    void setOverridden(bool value) { m_overridden = value; }

    QString ExternalGUID() const { return m_externalGUID; }
    void setExternalGUID(const QString& value) { m_externalGUID = value; } // program-internal

    double Answer() const { return DOT; }
    // Stores the degree of truth and propagates it (basKelva::PropogateAnswer).
    void setAnswer(double value);

    // The node as one element of a knowledge-base document (lines end in CR LF, none after
    // the closing tag); empty, with the failure reported, when the node has no layer.
    // A caller that knows the node's place in its layer (what Index() gives) passes it, so that
    // writing a whole layer does not look for every node's place again.
    QString SerializeOutXML(std::optional<qint32> place = std::nullopt);
    // Fills this new node (one without parents, links or higher-level nodes yet) from its
    // document element. Every field is read on its own: one that cannot be read keeps its
    // default, its error is added to `errors` for the caller to report, and the result is then
    // false. Consults the owning network's NewGUIDs, so Network must be set first. Touches
    // nothing but this node: several new nodes can be read at once on different threads.
    bool SerializeInXML(QStringView element, HeldErrors& errors);

    // Fills this new node from the content of its record block in the older text form:
    // texts, fonts, answers, flags, references, properties and the stored layer and place
    // (LayerIndex, NodeIndex). Network and FileName must be set first. A statement that
    // cannot be carried out raises its error; a duplicate property or a format key for an
    // answer the node lacks is reported and skipped.
    void SerializeIn(QString& SourceText);

    // 1-based position in the layer of the first node with this node's number; 0 when none.
    qint32 Index() const;

    // The name label; a label without text first gets "Node " and the node number.
    std::shared_ptr<TextLabel> Name();
    // Stores the label and renames the narrator button.
    void setName(std::shared_ptr<TextLabel> label);

    // The nodes whose links point to this node (kept by the network's link operations).
    Collection<std::weak_ptr<Node>>& Parents() { return m_parents; }
    const Collection<std::weak_ptr<Node>>& Parents() const { return m_parents; }

    bool Enabled() const { return !Disabled; }
    void setEnabled(bool value) { Disabled = !value; }

    // Asks the network of the node's layer to add a link from this node to `target`.
    void AddLink(const std::shared_ptr<Node>& target);

    // A new page of the lower-level network; raises ObjectNotSet without one.
    std::shared_ptr<Page> LowerLevelPage() const;

    // A control "IRRELEVANT" (resp. "NEED INFO") reads "TRUE", compared in upper case. Asked of
    // the evidence of every link computed, and most nodes have no controls.
    bool Irrelevant() const { return !m_controls.isEmpty() && controlIsOn(QLatin1String("IRRELEVANT")); }
    bool NeedInfo() const { return !m_controls.isEmpty() && controlIsOn(QLatin1String("NEED INFO")); }
    // In need of information itself, or through any evidence node or the lower-level node.
    bool Required() const;

    // Orders the links by their evidence node's relative place in its layer, left to right.
    void ReOrderLinks();

    // A copy without links, layer or network; a new GUID when asked.
    std::shared_ptr<Node> Clone(bool bNewGUID);

    // Back to the default answer (or undecided), unanswered, justification emptied; parents
    // left without answered evidence and the higher-level nodes are reset too.
    void Reset();

    // --- Program-internal state -----------------------------------------------------------
    // Storage of Name: an empty label until one is stored (made again on first read after it
    // was let go); writing it leaves the button alone.
    std::shared_ptr<TextLabel> NameLabel();
    // The name label as it stands, without making one: null until one is made or stored.
    const std::shared_ptr<TextLabel>& nameLabelIfMade() const { return m_nameLabel; }
    void setNameLabel(std::shared_ptr<TextLabel> label) { m_nameLabel = std::move(label); }

    std::weak_ptr<AbstractNetwork> Network;               // the network that owns the node
    std::shared_ptr<AbstractNetwork> LowerLevelNetwork;   // of an external node
    QString ExternalFile;
    QString FileName;
    // NodeNumber, LayerIndex and NodeIndex stand with the small public fields, Disabled with
    // the flags.

    // --- What the inference reads of every node -------------------------------------------
    // The flags and the degree of truth stand together, and with the links, controls and
    // parents (private, below): a walk over many nodes reads one or two cache lines of each.
    bool NoDefault = true; // the node has no default answer
    bool Plural = false;
    bool Answered = false;
    bool AutoAnswer = false;
    bool Contradiction = false; // two forcing links disagree
    bool Disabled = false;      // program-internal
    double DOT = 0; // the degree of truth; writing it directly does not propagate

private:
    bool controlIsOn(QLatin1String upperName) const;

    Collection<std::shared_ptr<Link>> m_links;
    Collection<std::shared_ptr<clsControl>> m_controls;
    Collection<std::weak_ptr<Node>> m_parents;
    std::shared_ptr<TextLabel> m_nameLabel;
    QString m_moreInfo;
    QString m_externalGUID;
    qint16 m_sourceIndex = 0;
    bool m_selected = false;
    bool m_external = false;
    bool m_overridden = false;
};

} // namespace kelvane
