#include "model/Node.h"

namespace kelvane {

// The node element in its shortest form: the element with the node's identity. The full
// element (texts, answers, links, controls, properties) is written by the XML document code.
QString Node::SerializeOutXML()
{
    return QStringLiteral("<node nodeguid='") + GUID + QStringLiteral("'>\r\n</node>\r\n");
}

} // namespace kelvane
