#pragma once

#include <QString>
#include <memory>

namespace kelvane {

// The definition of one answer control of a node. The names "IRRELEVANT" and "NEED INFO"
// mean something to the node when their value reads "TRUE".
class clsControl {
public:
    QString ControlType;
    QString Name;
    QString Value;
    QString Default; // restored into Value when the node is reset

    std::shared_ptr<clsControl> Clone() const;
};

} // namespace kelvane
