#include "diagram/NarratorButton.h"

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

void NarratorButton::keyReleaseEvent(QKeyEvent* event)
{
    QPushButton::keyReleaseEvent(event);
    event->ignore();
}

bool NarratorButton::focusNextPrevChild(bool next)
{
    if (m_focusStep && m_focusStep(*this, next))
        return true;
    return QPushButton::focusNextPrevChild(next);
}

} // namespace kelvane
