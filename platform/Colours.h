#pragma once

#include <QtGlobal>

// Colour values as the drawing surfaces and the stored data hold them: 0x00BBGGRR for a
// plain colour, or 0x80000000 + index for one of the system's display colours, which are
// resolved from a fixed table when something is drawn.
namespace platform::colours {

constexpr qint32 rgb(int red, int green, int blue)
{
    return qint32((red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16);
}

constexpr qint32 system(int index) { return qint32(0x80000000u | quint32(index)); }

constexpr bool isSystem(qint32 value) { return (quint32(value) & 0x80000000u) != 0; }

constexpr int red(qint32 value) { return value & 0xFF; }
constexpr int green(qint32 value) { return (value >> 8) & 0xFF; }
constexpr int blue(qint32 value) { return (value >> 16) & 0xFF; }

// The plain colour (0x00BBGGRR) a value stands for: a system colour comes from the fixed
// table (black for an index the table lacks, as the system answers); for any other value
// only its low three bytes count.
qint32 resolve(qint32 value);

// The system colours by index.
inline constexpr qint32 ScrollBars = system(0);
inline constexpr qint32 Desktop = system(1);
inline constexpr qint32 ActiveTitleBar = system(2);
inline constexpr qint32 InactiveTitleBar = system(3);
inline constexpr qint32 MenuBar = system(4);
inline constexpr qint32 WindowBackground = system(5);
inline constexpr qint32 WindowFrame = system(6);
inline constexpr qint32 MenuText = system(7);
inline constexpr qint32 WindowText = system(8);
inline constexpr qint32 TitleBarText = system(9);
inline constexpr qint32 ActiveBorder = system(10);
inline constexpr qint32 InactiveBorder = system(11);
inline constexpr qint32 ApplicationWorkspace = system(12);
inline constexpr qint32 Highlight = system(13);
inline constexpr qint32 HighlightText = system(14);
inline constexpr qint32 ButtonFace = system(15);
inline constexpr qint32 ButtonShadow = system(16);
inline constexpr qint32 GrayText = system(17);
inline constexpr qint32 ButtonText = system(18);
inline constexpr qint32 InactiveCaptionText = system(19);
inline constexpr qint32 ButtonHighlight = system(20);
inline constexpr qint32 ButtonDarkShadow = system(21);
inline constexpr qint32 ButtonLight = system(22);
inline constexpr qint32 InfoText = system(23);
inline constexpr qint32 InfoBackground = system(24);

} // namespace platform::colours
