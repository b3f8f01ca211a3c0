#pragma once

#include "model/Node.h"
#include "platform/RuntimeError.h"

#include <memory>

// Small helpers shared by the source files of the network class.
namespace kelvane::networksupport {

// The module name the network's operations report their failures under.
inline constexpr const char* kModule = "clsNetwork";

// The object a reference holds; an empty reference raises ObjectNotSet.
template <class T>
const std::shared_ptr<T>& required(const std::shared_ptr<T>& object)
{
    if (!object)
        raiseError(err::ObjectNotSet);
    return object;
}

// Removes every entry of `node`'s Parents that is `parent`.
inline void removeParentEntries(Node& node, const Node& parent)
{
    auto& parents = node.Parents();
    for (qsizetype position = parents.Count(); position >= 1; --position) {
        if (parents.Item(position).lock().get() == &parent)
            parents.Remove(position);
    }
}

} // namespace kelvane::networksupport
