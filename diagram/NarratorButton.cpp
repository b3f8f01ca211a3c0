#include "diagram/NarratorButton.h"

#include "model/Node.h"

#include <QKeyEvent>

namespace kelvane {

NarratorButton::NarratorButton(qint16 index, QWidget* parent) : QPushButton(parent), m_index(index)
{
    setFocusPolicy(Qt::StrongFocus);
}

NarratorButton::~NarratorButton()
{
    releaseNode();
}

// A node kept elsewhere must not call a button that is gone.
void NarratorButton::releaseNode()
{
    if (const auto node = m_node.lock(); node && node->Button == this)
        node->Button = nullptr;
    m_node.reset();
}

void NarratorButton::unload()
{
    releaseNode();
    hide();
    deleteLater();
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
