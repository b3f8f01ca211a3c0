#include "platform/Colours.h"

#include <array>

namespace platform::colours {

namespace {
// The classic desktop scheme, by system colour index.
constexpr std::array<qint32, 25> kSystemColours = {
    rgb(212, 208, 200), // scroll bars
    rgb(58, 110, 165),  // desktop
    rgb(10, 36, 106),   // active title bar
    rgb(128, 128, 128), // inactive title bar
    rgb(212, 208, 200), // menu bar
    rgb(255, 255, 255), // window background
    rgb(0, 0, 0),       // window frame
    rgb(0, 0, 0),       // menu text
    rgb(0, 0, 0),       // window text
    rgb(255, 255, 255), // title bar text
    rgb(212, 208, 200), // active border
    rgb(212, 208, 200), // inactive border
    rgb(128, 128, 128), // application workspace
    rgb(10, 36, 106),   // highlight
    rgb(255, 255, 255), // highlight text
    rgb(212, 208, 200), // button face
    rgb(128, 128, 128), // button shadow
    rgb(128, 128, 128), // gray text
    rgb(0, 0, 0),       // button text
    rgb(212, 208, 200), // inactive caption text
    rgb(255, 255, 255), // button highlight
    rgb(64, 64, 64),    // button dark shadow
    rgb(212, 208, 200), // button light
    rgb(0, 0, 0),       // info text
    rgb(255, 255, 225), // info background
};
} // namespace

qint32 resolve(qint32 value)
{
    if (!isSystem(value))
        return value & 0x00FFFFFF;
    const quint32 index = quint32(value) & 0x7FFFFFFFu;
    return index < kSystemColours.size() ? kSystemColours[index] : 0;
}

} // namespace platform::colours
