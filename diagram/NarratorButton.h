#pragma once

#include "model/AbstractNodeButton.h"

#include <QPushButton>
#include <memory>

namespace kelvane {

class Node;

// One narrator button of the diagram: a button placed outside the visible area for one node
// of the network shown, so the keyboard focus can move from node to node. The node refers
// to it through its Button; the button lets go of that reference when it is unloaded
// (NarratorButtonSet) and when it goes.
class NarratorButton : public QPushButton, public AbstractNodeButton {
public:
    NarratorButton(qint32 index, QWidget* parent);
    ~NarratorButton() override;

    // The element number in the control's button array (0 is the design-time element).
    qint32 Index() const { return m_index; }

    // Binds the button to its node (and the node to the button).
    void bindTo(const std::shared_ptr<Node>& node);

    void setCaption(const QString& caption) override;
    void setFocus() override;

    // The node lets go of the button (a node kept elsewhere must not call a button that goes).
    void releaseNode();

protected:
    // Released keys go on to the control, whichever button has the focus.
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    qint32 m_index;
    std::weak_ptr<Node> m_node;
};

} // namespace kelvane
