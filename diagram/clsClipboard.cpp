#include "diagram/clsClipboard.h"

namespace kelvane {

void clsClipboard::CheckLimit()
{
    while (Actions.Count() > kLimit)
        Actions.Remove(1);
}

std::shared_ptr<clsClipboard> sharedClipboard()
{
    static const auto clipboard = std::make_shared<clsClipboard>();
    return clipboard;
}

} // namespace kelvane
