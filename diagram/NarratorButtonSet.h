#pragma once

#include "diagram/NarratorButton.h"

#include <QPointer>
#include <QWidget>
#include <vector>

namespace kelvane {

// The narrator buttons of a diagram control: element 0, the control's own, and one button per
// node of the network shown, made together in a holder widget of their own. The holder keeps
// making and unloading them cheap however many nodes there are: while it is hidden, a new
// button has no visible parent to tell about itself, and a whole set goes as one object (a
// parent's children leave it all at once, where taking them away one by one costs as much as
// the square of their number).
class NarratorButtonSet {
public:
    explicit NarratorButtonSet(QWidget& control);
    NarratorButtonSet(const NarratorButtonSet&) = delete;
    NarratorButtonSet& operator=(const NarratorButtonSet&) = delete;

    // Element `index`: 0 always, 1 to count() while a set is loaded; null otherwise.
    NarratorButton* element(qint32 index) const;
    // The buttons of the set (element 0 not counted).
    qint32 count() const { return static_cast<qint32>(m_set.size()); }

    // Adds the next element to the set being made (hidden until show()).
    NarratorButton* add();
    // Shows the set being made.
    void show();
    // Unloads the set: its nodes let go of their buttons at once; the buttons go once the
    // event they may be handling is over.
    void unload();

private:
    QWidget& m_control;
    NarratorButton* m_first; // element 0, a child of the control
    QPointer<QWidget> m_holder;
    std::vector<NarratorButton*> m_set; // owned by the holder
};

} // namespace kelvane
