#include "ftp/CorvaneResources.h"

#include "platform/automation/DesignExtent.h"

#include <QPainter>

namespace kelvane::ftp {

namespace {

constexpr int kExtentPixels = 28;

// A folder with an arrow up and an arrow down: files going both ways.
const char* const kToolboxPicture[] = {
    "16 15 5 1",        ". c #C0C0C0",      "d c #808080",      "k c #000000",      "y c #FFFF00",
    "b c #000080",      "................", "..kkk.......b...", ".kyyyk.....bbb..", "kkkkkkkkk.bbbbb.",
    "kyyyyyyyk...b...", "kyyyyyyyk...b...", "kyyyyyyyk...b...", "kyyyyyyyk.......", "kyyyyyyyk...b...",
    "kkkkkkkkk...b...", ".ddddddd....b...", "..........bbbbb.", "...........bbb..", "............b...",
    "................",
};

// The same folder and arrows in a raised frame, as the control looks on a form.
const char* const kDesignPicture[] = {
    "28 28 6 1",
    ". c #C0C0C0",
    "w c #FFFFFF",
    "d c #808080",
    "k c #000000",
    "y c #FFFF00",
    "b c #000080",
    "wwwwwwwwwwwwwwwwwwwwwwwwwwwk",
    "w.........................dk",
    "w.........................dk",
    "w.........................dk",
    "w...kkkk..............b...dk",
    "w..kyyyyk............bbb..dk",
    "w..kyyyyk...........bbbbb.dk",
    "w.kkkkkkkkkkkkk....bbbbbbbdk",
    "w.kyyyyyyyyyyyk......b....dk",
    "w.kyyyyyyyyyyyk......b....dk",
    "w.kyyyyyyyyyyyk......b....dk",
    "w.kyyyyyyyyyyyk......b....dk",
    "w.kyyyyyyyyyyyk......b....dk",
    "w.kyyyyyyyyyyyk...........dk",
    "w.kyyyyyyyyyyyk......b....dk",
    "w.kyyyyyyyyyyyk......b....dk",
    "w.kyyyyyyyyyyyk......b....dk",
    "w.kyyyyyyyyyyyk......b....dk",
    "w.kkkkkkkkkkkkk......b....dk",
    "w..ddddddddddddd.bbbbbbb..dk",
    "w.................bbbbb...dk",
    "w..................bbb....dk",
    "w...................b.....dk",
    "w.........................dk",
    "w.........................dk",
    "w.........................dk",
    "wddddddddddddddddddddddddddk",
    "kkkkkkkkkkkkkkkkkkkkkkkkkkkk",
};

} // namespace

QImage bitmapResource(int resourceNumber)
{
    switch (resourceNumber) {
    case kToolboxImage: return QImage(kToolboxPicture);
    case kDesignTimeImage: return QImage(kDesignPicture);
    default: return {};
    }
}

QSize designExtentHimetric(int dotsPerInch)
{
    return platform::automation::designExtentHimetric(kExtentPixels, dotsPerInch);
}

void paintDesignTime(QPainter& painter, const QRect& bounds)
{
    painter.drawImage(bounds, bitmapResource(kDesignTimeImage));
}

} // namespace kelvane::ftp
