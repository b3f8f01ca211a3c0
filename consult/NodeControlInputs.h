#pragma once

#include "platform/Collection.h"

#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace platform::gui {
class PlainLabel;
}

namespace kelvane {

class clsControl;

// The inputs of a node's own controls in the question dialog: a check box for each
// definition of type "boolean", a caption and a text box for each of type "string", one
// row of 300 twips each, in the order of the definitions. Definitions of any other type
// get no input and keep their values. Element 0 of each array is the hidden template.
class NodeControlInputs {
public:
    // Makes the templates inside `frame`.
    explicit NodeControlInputs(QWidget& frame);

    // Loads one input per definition at `left` (twips), filled from its value; an empty
    // "boolean" value is stored as "false" first. Gives the number of rows used.
    int Load(Collection<std::shared_ptr<clsControl>>& definitions, double left);

    // Stores each input back into its definition: "true" or "false", or the text typed.
    void Store(Collection<std::shared_ptr<clsControl>>& definitions) const;

    QCheckBox* chkControl(int index) const { return m_chkControl.at(index); }
    QLabel* lblControl(int index) const;
    QLineEdit* txtControl(int index) const { return m_txtControl.at(index); }

private:
    QWidget& m_frame;
    std::vector<QCheckBox*> m_chkControl; // owned by the frame
    std::vector<platform::gui::PlainLabel*> m_lblControl;
    std::vector<QLineEdit*> m_txtControl;
};

} // namespace kelvane
