#pragma once

#include <QPushButton>
#include <functional>

namespace kelvane {

// One narrator button of the diagram: a button placed outside the visible area that stands for
// one node of the network shown, so the keyboard focus can move from node to node. Which node
// it stands for is its Index (the node's place in layer-then-node order); a set of them
// (NarratorButtonSet) hands the few buttons it keeps from node to node.
class NarratorButton : public QPushButton {
public:
    // Moves the focus from this button to the next (or previous) node's; false leaves the
    // move to the widgets' focus chain.
    using FocusStep = std::function<bool(NarratorButton& from, bool next)>;

    NarratorButton(qint32 index, QWidget* parent);

    // The element number in the control's button array (0 is the design-time element).
    qint32 Index() const { return m_index; }
    void setIndex(qint32 index) { m_index = index; }

    void setFocusStep(FocusStep step) { m_focusStep = std::move(step); }

protected:
    // Released keys go on to the control, whichever button has the focus.
    void keyReleaseEvent(QKeyEvent* event) override;
    // Tab and Shift+Tab go from node to node.
    bool focusNextPrevChild(bool next) override;

private:
    qint32 m_index;
    FocusStep m_focusStep;
};

} // namespace kelvane
