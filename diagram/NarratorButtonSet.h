#pragma once

#include "diagram/NarratorButton.h"
#include "model/AbstractNodeButton.h"

#include <QPointer>
#include <array>
#include <memory>
#include <vector>

class QObject;
class QWidget;

namespace kelvane {

class Node;

// The narrator buttons of a diagram control: element 0, the control's own, and element i for
// the i-th node of the network shown in layer-then-node order. Only the elements the keyboard
// can reach are widgets: the first and the last node's, where Tab and Shift+Tab enter the set
// from the widgets around it, and two that follow the focus from node to node. Every node
// holds a light handle of the set as its Button, which brings its element into being when the
// node is to take the focus. Loading and unloading a set costs as much as a list of its
// nodes, and the widgets stay as many however many nodes there are.
class NarratorButtonSet {
public:
    // The longest caption given to a button: it is read out, never seen, and a name of any
    // length must not be laid out in full.
    static constexpr qsizetype kCaptionLimit = 1000;

    explicit NarratorButtonSet(QWidget& control);
    ~NarratorButtonSet();
    NarratorButtonSet(const NarratorButtonSet&) = delete;
    NarratorButtonSet& operator=(const NarratorButtonSet&) = delete;

    // Element `index`: 0 always; 1 to count() while a set is loaded, the button then standing
    // for that node (an element other than the first and the last stays that node's until
    // another element is asked for); null otherwise.
    NarratorButton* element(qint32 index);
    // The elements of the set (element 0 not counted).
    qint32 count() const { return static_cast<qint32>(m_nodes.size()); }

    // Loads a set for the nodes in order (a null node keeps its place but has no handle).
    void load(const std::vector<std::shared_ptr<Node>>& nodes);
    // Unloads the set: its nodes let go of their handles and the buttons stand for no node.
    void unload();

    // Every button of the set, element 0 included, reports its events to `filter`.
    void installEventFilter(QObject* filter);

private:
    // A node's Button: its element of the set, made on demand.
    class Handle : public AbstractNodeButton {
    public:
        Handle(NarratorButtonSet& set, qint32 index) : m_set(&set), m_index(index) {}
        void setCaption(const QString& caption) override;
        void setFocus() override;

    private:
        NarratorButtonSet* m_set;
        qint32 m_index;
    };

    enum Slot { First, Roaming1, Roaming2, Last, SlotCount };

    NarratorButton* bind(Slot slot, qint32 index);
    NarratorButton* roamingButtonFor(qint32 index);
    bool stepFocus(NarratorButton& from, bool next);
    void captionChanged(qint32 index, const QString& caption);
    static QString captionOf(const QString& name);

    QWidget& m_control;
    QPointer<NarratorButton> m_first; // element 0, a child of the control
    QPointer<QWidget> m_holder;       // holds the buttons of the nodes
    std::array<QPointer<NarratorButton>, SlotCount> m_slots;
    Slot m_lastRoaming = Roaming2; // the roaming button bound most recently
    std::vector<std::weak_ptr<Node>> m_nodes;
    std::vector<Handle> m_handles; // one per node, in the nodes' order; never moved while loaded
};

} // namespace kelvane
