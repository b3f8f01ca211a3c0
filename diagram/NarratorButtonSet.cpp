#include "diagram/NarratorButtonSet.h"

#include "model/Node.h"
#include "model/TextLabel.h"
#include "network/VisibleText.h"

#include <QWidget>

namespace kelvane {

namespace {

// Outside the visible area, yet able to take the focus.
const QPoint kOutOfSight(-1000 / 15, -1000 / 15);

} // namespace

void NarratorButtonSet::Handle::setCaption(const QString& caption)
{
    m_set->captionChanged(m_index, caption);
}

void NarratorButtonSet::Handle::setFocus()
{
    if (NarratorButton* button = m_set->element(m_index))
        button->setFocus(Qt::OtherFocusReason);
}

NarratorButtonSet::NarratorButtonSet(QWidget& control) : m_control(control), m_first(new NarratorButton(0, &control))
{
    m_first->move(kOutOfSight);
    // Of no size, so it takes no pointer input from the control's area; its buttons sit where
    // the control's own would. The buttons are made here, right after element 0, so that the
    // focus chain runs from element 0 through them before it leaves the control.
    m_holder = new QWidget(&control);
    m_holder->setGeometry(0, 0, 0, 0);
    // Nothing of it is ever seen.
    m_holder->setUpdatesEnabled(false);
    const auto step = [this](NarratorButton& from, bool next) { return stepFocus(from, next); };
    for (auto& slot : m_slots) {
        slot = new NarratorButton(0, m_holder);
        slot->move(kOutOfSight);
        slot->setVisible(false); // until it stands for a node
        slot->setFocusStep(step);
    }
}

NarratorButtonSet::~NarratorButtonSet()
{
    unload();
    // The buttons go with the control, after the set: they no longer ask it to move the focus.
    for (const auto& slot : m_slots) {
        if (slot)
            slot->setFocusStep(nullptr);
    }
}

void NarratorButtonSet::installEventFilter(QObject* filter)
{
    m_first->installEventFilter(filter);
    for (const auto& slot : m_slots)
        slot->installEventFilter(filter);
}

NarratorButton* NarratorButtonSet::element(qint32 index)
{
    if (index == 0)
        return m_first;
    if (index < 0 || index > count())
        return nullptr;
    if (index == 1)
        return bind(First, index);
    if (index == count())
        return bind(Last, index);
    return roamingButtonFor(index);
}

NarratorButton* NarratorButtonSet::roamingButtonFor(qint32 index)
{
    for (const Slot slot : {Roaming1, Roaming2}) {
        if (m_slots[slot]->Index() == index)
            return m_slots[slot];
    }
    // The one that does not hold the focus, else the one bound longer ago.
    Slot slot = m_lastRoaming == Roaming1 ? Roaming2 : Roaming1;
    if (m_slots[slot]->hasFocus())
        slot = slot == Roaming1 ? Roaming2 : Roaming1;
    m_lastRoaming = slot;
    return bind(slot, index);
}

NarratorButton* NarratorButtonSet::bind(Slot slot, qint32 index)
{
    NarratorButton* button = m_slots[slot];
    if (button->Index() == index)
        return button;
    button->setIndex(index);
    QString caption;
    if (const auto node = m_nodes[std::size_t(index) - 1].lock())
        caption = captionOf(node->Name()->Text());
    button->setText(caption);
    button->setVisible(true);
    return button;
}

void NarratorButtonSet::captionChanged(qint32 index, const QString& caption)
{
    for (const auto& slot : m_slots) {
        if (slot->Index() == index)
            slot->setText(captionOf(caption));
    }
}

QString NarratorButtonSet::captionOf(const QString& name)
{
    return visibletext::cutToCharacters(name, kCaptionLimit);
}

bool NarratorButtonSet::stepFocus(NarratorButton& from, bool next)
{
    const qint32 index = from.Index();
    if (index < 1 || index > count())
        return false;
    // Past either end the focus leaves through the widgets' own chain: Tab from the last
    // node's button to the widget after the control, Shift+Tab from the first node's to
    // element 0, which hands it back to the first node.
    const qint32 target = next ? index + 1 : index - 1;
    if (target < 1 || target > count())
        return false;
    element(target)->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void NarratorButtonSet::load(const std::vector<std::shared_ptr<Node>>& nodes)
{
    unload();
    m_nodes.reserve(nodes.size());
    m_handles.reserve(nodes.size());
    for (const auto& node : nodes) {
        m_nodes.push_back(node);
        m_handles.emplace_back(*this, count());
        if (node)
            node->Button = &m_handles.back();
    }
    // Shift+Tab into the control reaches the last node first, and Tab the first (through
    // element 0).
    if (count() >= 1)
        bind(First, 1);
    if (count() >= 2)
        bind(Last, count());
}

void NarratorButtonSet::unload()
{
    for (std::size_t i = 0; i < m_nodes.size(); ++i) {
        if (const auto node = m_nodes[i].lock(); node && node->Button == &m_handles[i])
            node->Button = nullptr;
    }
    m_nodes.clear();
    m_handles.clear();
    // A button stands for no node while its index is 0.
    for (const auto& slot : m_slots) {
        if (slot) {
            slot->setIndex(0);
            slot->setVisible(false);
            slot->setText(QString());
        }
    }
}

} // namespace kelvane
