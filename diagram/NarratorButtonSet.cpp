#include "diagram/NarratorButtonSet.h"

namespace kelvane {

namespace {

// Outside the visible area, yet able to take the focus.
const QPoint kOutOfSight(-1000 / 15, -1000 / 15);

} // namespace

NarratorButtonSet::NarratorButtonSet(QWidget& control) : m_control(control), m_first(new NarratorButton(0, &control))
{
    m_first->move(kOutOfSight);
}

NarratorButton* NarratorButtonSet::element(qint32 index) const
{
    if (index == 0)
        return m_first;
    if (index < 0 || index > count())
        return nullptr;
    return m_set[std::size_t(index) - 1];
}

NarratorButton* NarratorButtonSet::add()
{
    if (!m_holder) {
        // Of no size, so it takes no pointer input from the control's area; its buttons sit
        // where the control's own would.
        m_holder = new QWidget(&m_control);
        m_holder->setGeometry(0, 0, 0, 0);
        m_holder->hide();
        // Nothing of it is ever seen: painting buttons that lie over one another would weigh
        // each against all the others.
        m_holder->setUpdatesEnabled(false);
    }
    auto* button = new NarratorButton(count() + 1, m_holder);
    button->move(kOutOfSight);
    button->setVisible(true); // shown with its holder
    m_set.push_back(button);
    return button;
}

void NarratorButtonSet::show()
{
    if (m_holder)
        m_holder->show();
}

void NarratorButtonSet::unload()
{
    for (auto* button : m_set)
        button->releaseNode();
    m_set.clear();
    if (QWidget* holder = m_holder.data()) {
        m_holder.clear();
        holder->hide();
        holder->deleteLater();
    }
}

} // namespace kelvane
