#pragma once

#include <QString>

namespace kelvane {

// A node's narrator button on the diagram (keyboard access to the node).
class AbstractNodeButton {
public:
    virtual ~AbstractNodeButton() = default;

    virtual void setCaption(const QString& caption) = 0;
    // Gives the button the keyboard focus; may fail (raise) when it cannot take it.
    virtual void setFocus() = 0;
};

} // namespace kelvane
