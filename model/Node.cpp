#include "model/Node.h"

#include "model/AbstractNetwork.h"
#include "model/AbstractNodeButton.h"
#include "model/Layer.h"
#include "model/Link.h"
#include "model/Page.h"
#include "model/Property.h"
#include "model/RequireObject.h"
#include "model/TextLabel.h"
#include "model/WalkPath.h"
#include "model/basGlobal.h"
#include "model/basKelva.h"
#include "model/basLibrary.h"
#include "model/clsControl.h"

#include <QStringBuilder>
#include <algorithm>
#include <unordered_set>
#include <vector>

namespace kelvane {

namespace {

// A new collection with a copy of every item, in order, without keys.
template <class T>
Collection<std::shared_ptr<T>> clonedItems(const Collection<std::shared_ptr<T>>& items)
{
    Collection<std::shared_ptr<T>> copies;
    for (const auto& item : items)
        copies.Add(requireObject(item)->Clone());
    return copies;
}

bool requiredWalk(const Node& node, std::unordered_set<const Node*>& visited)
{
    // A node met again was either answered false already or lies on a cycle.
    if (!visited.insert(&node).second)
        return false;
    if (node.NeedInfo())
        return true;
    for (const auto& link : node.Links()) {
        if (requiredWalk(*requireObject(requireObject(link)->ConnectionTo), visited))
            return true;
    }
    if (node.LowerLevelNode)
        return requiredWalk(*node.LowerLevelNode, visited);
    return false;
}

// Whether the text in upper case reads `upper`, an upper-case ASCII text. A text of ASCII
// alone is compared as it is, without an upper-case copy; any other is put in upper case, where
// some letters become ASCII ones (a dotless i becomes I, a sharp s SS).
bool readsInUpperCase(const QString& text, QLatin1String upper)
{
    const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    return ascii ? text.compare(upper, Qt::CaseInsensitive) == 0 : text.toUpper() == upper;
}

bool hasAnsweredEvidence(const Node& node)
{
    for (const auto& link : node.Links()) {
        if (requireObject(requireObject(link)->ConnectionTo)->Answered)
            return true;
    }
    return false;
}

void resetWalk(Node& node, WalkPath& path)
{
    const WalkPath::Step step(path, &node);
    if (!step.entered())
        return;

    for (const auto& control : node.Controls())
        requireObject(control)->Value = control->Default;
    node.setOverridden(false);
    node.setAnswer(node.NoDefault ? 0.5 : node.Default);
    node.Answered = false;
    basKelva::UpdateDOTParents(node.shared_from_this());

    for (const auto& parentRef : node.Parents().Snapshot()) {
        const auto parent = parentRef.lock();
        if (parent && parent->Answered && !hasAnsweredEvidence(*parent))
            resetWalk(*parent, path);
    }
    for (const auto& higherRef : node.HigherLevelNodes.Snapshot()) {
        if (const auto higher = higherRef.lock())
            resetWalk(*higher, path);
    }

    if (!node.Justification)
        node.Justification = std::make_shared<TextLabel>();
    node.Justification->setText(QString());
}

} // namespace

Node::Node() : Node(basLibrary::NewGUIDString()) {}

Node::Node(QString guid) : GUID(std::move(guid))
{
    // The four texts every node starts with are made in one piece: a large document holds
    // many nodes. Each is a label of its own all the same, shared with nobody.
    struct Texts {
        TextLabel name;
        TextLabel question;
        TextLabel reason;
        TextLabel justification;
    };
    const auto texts = std::make_shared<Texts>();
    m_nameLabel = std::shared_ptr<TextLabel>(texts, &texts->name);
    Question = std::shared_ptr<TextLabel>(texts, &texts->question);
    Reason = std::shared_ptr<TextLabel>(texts, &texts->reason);
    Justification = std::shared_ptr<TextLabel>(texts, &texts->justification);
}

Node::~Node() = default;

void Node::setSelected(bool value)
{
    m_selected = value;
    if (value && Button && !basGlobal::NarratorSelecting) {
        try {
            Button->setFocus();
        } catch (...) {
            // A button that cannot take the focus leaves the selection as it is.
        }
    }
}

void Node::setAnswer(double value)
{
    DOT = value;
    basKelva::PropogateAnswer(shared_from_this());
}

qint32 Node::Index() const
{
    const auto layer = requireObject(Layer.lock());
    qint32 position = 0;
    for (const auto& node : layer->Nodes()) {
        ++position;
        if (node && node->NodeNumber == NodeNumber)
            return position;
    }
    return 0;
}

std::shared_ptr<TextLabel> Node::NameLabel()
{
    if (!m_nameLabel)
        m_nameLabel = std::make_shared<TextLabel>();
    return m_nameLabel;
}

std::shared_ptr<TextLabel> Node::Name()
{
    auto label = NameLabel();
    // Made in one piece, in no more room than it takes: every node of a large document gets it.
    if (!label->hasText())
        label->setText(QStringView(u"Node ") % QString::number(NodeNumber));
    return label;
}

void Node::setName(std::shared_ptr<TextLabel> label)
{
    m_nameLabel = std::move(label);
    if (Button)
        Button->setCaption(requireObject(m_nameLabel)->Text());
}

void Node::AddLink(const std::shared_ptr<Node>& target)
{
    requireObject(Layer.lock())->OwningNetwork()->AddLink(shared_from_this(), target);
}

std::shared_ptr<Page> Node::LowerLevelPage() const
{
    auto page = std::make_shared<Page>();
    page->setNetwork(requireObject(LowerLevelNetwork));
    return page;
}

bool Node::controlIsOn(QLatin1String upperName) const
{
    for (const auto& control : m_controls) {
        const clsControl& named = *requireObject(control.get());
        if (readsInUpperCase(named.Name, upperName) && readsInUpperCase(named.Value, QLatin1String("TRUE")))
            return true;
    }
    return false;
}

bool Node::Required() const
{
    std::unordered_set<const Node*> visited;
    return requiredWalk(*this, visited);
}

void Node::ReOrderLinks()
{
    if (m_links.isEmpty())
        return;

    // Each link's key: its evidence node's relative place, left to right, in its own layer.
    struct Entry {
        std::shared_ptr<Link> link;
        double key;
    };
    std::vector<Entry> entries;
    for (const auto& link : m_links) {
        const auto& evidence = requireObject(requireObject(link)->ConnectionTo);
        const auto nodeCount = requireObject(evidence->Layer.lock())->Nodes().Count();
        if (nodeCount == 0)
            raiseError(err::DivisionByZero);
        entries.push_back({link, static_cast<double>(evidence->Index()) / static_cast<double>(nodeCount)});
    }

    // Repeated selection: each pass takes the last link whose key is at most the best so far
    // (so equal keys come out in reverse of their former order) and retires it with key 2.
    Collection<std::shared_ptr<Link>> ordered;
    for (std::size_t pass = 0; pass < entries.size(); ++pass) {
        double best = 1;
        Entry* chosen = nullptr;
        for (auto& entry : entries) {
            if (entry.key <= best) {
                best = entry.key;
                chosen = &entry;
            }
        }
        if (!chosen)
            break;
        ordered.Add(chosen->link);
        chosen->key = 2;
    }
    m_links = std::move(ordered);
}

std::shared_ptr<Node> Node::Clone(bool bNewGUID)
{
    auto copy = std::make_shared<Node>();
    copy->GUID = bNewGUID ? basLibrary::NewGUIDString() : GUID;
    copy->setAnswer(Answer());
    copy->Answered = Answered;
    copy->AutoAnswer = AutoAnswer;
    copy->Answers = clonedItems(Answers);
    copy->Color = Color;
    copy->Contradiction = Contradiction;
    copy->m_controls = clonedItems(m_controls);
    copy->Default = Default;
    copy->Disabled = Disabled;
    copy->DOT = DOT;
    copy->m_external = m_external;
    copy->ExternalFile = ExternalFile;
    copy->m_externalGUID = m_externalGUID;
    copy->ExternalNetworkGUID = ExternalNetworkGUID;
    // The justification travels as plain text only.
    copy->Justification->setText(Justification ? Justification->Text() : QString());
    copy->LowerLevelNode = LowerLevelNode;
    copy->LowerLevelNetwork = LowerLevelNetwork;
    copy->m_moreInfo = m_moreInfo;
    copy->NodeIndex = NodeIndex;
    copy->m_nameLabel = Name()->Clone();
    copy->NoDefault = NoDefault;
    copy->m_overridden = m_overridden;
    copy->Plural = Plural;
    copy->Properties = clonedItems(Properties);
    copy->Question = Question ? Question->Clone() : nullptr;
    copy->Reason = Reason ? Reason->Clone() : nullptr;
    copy->m_sourceIndex = m_sourceIndex;
    copy->TooltipText = TooltipText;
    return copy;
}

void Node::Reset()
{
    WalkPath path;
    resetWalk(*this, path);
}

} // namespace kelvane
