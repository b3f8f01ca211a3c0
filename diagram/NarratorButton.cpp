#include "diagram/NarratorButton.h"

#include "model/Node.h"

#include <QKeyEvent>

namespace kelvane {

NarratorButton::NarratorButton(qint32 index, QWidget* parent) : QPushButton(parent), m_index(index)
{
    setFocusPolicy(Qt::StrongFocus);
    // A fixed size of its own: a button that is never seen is not sized to its caption (which
    // would lay out the whole text of a node's name each time the buttons are made), nor does
    // it ask its parent to lay it out again when it is polished.
    setFixedSize(16, 16);
}

NarratorButton::~NarratorButton()
{
    releaseNode();
}

void NarratorButton::releaseNode()
{
    if (const auto node = m_node.lock(); node && node->Button == this)
        node->Button = nullptr;
    m_node.reset();
}

void NarratorButton::bindTo(const std::shared_ptr<Node>& node)
{
    m_node = node;
    node->Button = this;
}

void NarratorButton::keyReleaseEvent(QKeyEvent* event)
{
    QPushButton::keyReleaseEvent(event);
    event->ignore();
}

void NarratorButton::setCaption(const QString& caption)
{
    setText(caption);
}

void NarratorButton::setFocus()
{
    QPushButton::setFocus(Qt::OtherFocusReason);
}

} // namespace kelvane
