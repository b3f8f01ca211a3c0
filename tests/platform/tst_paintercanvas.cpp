#include "platform/ImageCanvas.h"
#include "platform/ParallelRanges.h"
#include "platform/RuntimeError.h"
#include "tests/support/ErrorAssertions.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <gtest/gtest.h>
#include <chrono>
#include <cmath>
#include <future>
#include <vector>

using namespace platform;

namespace {
constexpr double kPi = 3.141592653589793;
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kWhite = qRgb(255, 255, 255);

// A picture cleared to white, 15 twips to a pixel, and ways to look at its pixels.
struct WhitePicture {
    explicit WhitePicture(QSize pixels)
        : picture(pixels)
    {
        canvas().setBackColor(colours::rgb(255, 255, 255));
        canvas().Cls();
    }
    PainterCanvas& canvas() { return picture.canvas(); }
    QRgb at(int x, int y) const { return picture.image().pixel(x, y); }
    int count(const QRect& area, QRgb colour) const
    {
        const QImage image = picture.image();
        int found = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                found += image.pixel(x, y) == colour;
        return found;
    }
    // The smallest rectangle holding every pixel that is not white.
    QRect inked() const
    {
        const QImage image = picture.image();
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != kWhite)
                    box |= QRect(x, y, 1, 1);
        return box;
    }
    ImageCanvas picture;
};

constexpr qint32 value(QRgb colour) { return colours::rgb(qRed(colour), qGreen(colour), qBlue(colour)); }
} // namespace

TEST(PainterCanvas, MeasuresInTwipsAndClearsToSystemColours)
{
    ImageCanvas picture(QSize(200, 100));
    EXPECT_EQ(picture.canvas().ScaleWidth(), 3000);
    EXPECT_EQ(picture.canvas().ScaleHeight(), 1500);
    EXPECT_EQ(picture.image().pixel(1, 1), qRgb(212, 208, 200)) << "a new picture has the button face colour";
    picture.canvas().setBackColor(colours::ButtonShadow);
    picture.canvas().Line(0, 0, 300, 450);
    picture.canvas().Cls();
    EXPECT_EQ(picture.image().pixel(199, 99), qRgb(128, 128, 128));
    EXPECT_EQ(picture.canvas().CurrentX(), 0) << "back home";
    EXPECT_EQ(picture.canvas().CurrentY(), 0);
}

TEST(PainterCanvas, LineLandsOnTheNearestPixelsAndLeavesOutItsEndPoint)
{
    WhitePicture p(QSize(120, 12));
    p.canvas().Line(150, 75, 1500, 75, value(kRed));
    EXPECT_EQ(p.inked(), QRect(10, 5, 90, 1)) << "pixels 10 to 99: the end point is left out";
    p.canvas().Line(0, 22, 300, 22, value(kBlue));  // 1.47 pixels down
    p.canvas().Line(0, 113, 300, 113, value(kBlue)); // 7.53 pixels down
    EXPECT_EQ(p.count(QRect(0, 1, 20, 1), kBlue), 20);
    EXPECT_EQ(p.count(QRect(0, 8, 20, 1), kBlue), 20);
}

TEST(PainterCanvas, DrawStyleAndWidthShapeTheStroke)
{
    WhitePicture p(QSize(100, 30));
    PainterCanvas& canvas = p.canvas();
    canvas.setDrawStyle(drawstyle::Dot);
    canvas.Line(0, 75, 1200, 75, value(kRed));
    const int dotted = p.count(QRect(0, 5, 80, 1), kRed);
    EXPECT_GT(dotted, 30);
    EXPECT_LT(dotted, 50) << "a dotted line is about half ink";

    canvas.setDrawStyle(drawstyle::Transparent);
    canvas.Line(0, 150, 1200, 150, value(kRed));
    EXPECT_EQ(p.count(QRect(0, 10, 100, 1), kRed), 0);

    canvas.setDrawStyle(drawstyle::Dot);
    canvas.setDrawWidth(3);
    canvas.Line(150, 300, 1200, 300, value(kBlue));
    EXPECT_EQ(p.count(QRect(20, 19, 50, 3), kBlue), 150) << "a wide line is solid whatever the style";
    EXPECT_EQ(p.count(QRect(20, 18, 50, 1), kBlue) + p.count(QRect(20, 22, 50, 1), kBlue), 0);
}

TEST(PainterCanvas, WholeCircleIsFilledByFillStyle)
{
    WhitePicture p(QSize(60, 60));
    PainterCanvas& canvas = p.canvas();
    canvas.Circle(450, 450, 300, value(kBlue)); // centre (30, 30), radius 20 pixels
    EXPECT_EQ(p.inked(), QRect(10, 10, 41, 41));
    EXPECT_EQ(p.at(30, 30), kWhite) << "not filled by default";

    canvas.setFillStyle(fillstyle::Solid);
    canvas.setFillColor(value(kGreen));
    canvas.Circle(450, 450, 300, value(kBlue));
    EXPECT_EQ(p.at(30, 30), kGreen);
    EXPECT_EQ(p.at(49, 30), kGreen);
    EXPECT_EQ(p.at(50, 30), kBlue);
}

TEST(PainterCanvas, ArcsRunCounterClockwiseAndNegativeAnglesAddRadii)
{
    WhitePicture p(QSize(60, 60));
    PainterCanvas& canvas = p.canvas();
    canvas.setFillStyle(fillstyle::Solid);
    canvas.setFillColor(value(kGreen));
    canvas.Circle(450, 450, 300, value(kRed), kPi + kPi / 4, kPi / 4); // the lower right half
    EXPECT_EQ(p.at(30, 50), kRed);
    EXPECT_EQ(p.at(50, 30), kRed);
    EXPECT_EQ(p.at(30, 10), kWhite);
    EXPECT_EQ(p.at(10, 30), kWhite);
    EXPECT_EQ(p.at(30, 30), kWhite) << "an open arc is not filled";

    canvas.Cls();
    canvas.Circle(450, 450, 300, value(kRed), -kPi / 2, kPi); // from the top, one radius
    EXPECT_EQ(p.at(30, 20), kRed);
    EXPECT_EQ(p.at(20, 30), kWhite);
    EXPECT_EQ(p.at(20, 20), kWhite);

    canvas.Cls();
    canvas.Circle(450, 450, 300, value(kRed), -kPi / 2, -kPi); // the upper left quarter, a pie
    EXPECT_EQ(p.at(30, 20), kRed);
    EXPECT_EQ(p.at(20, 30), kRed);
    EXPECT_EQ(p.at(22, 22), kGreen);
    EXPECT_EQ(p.at(38, 38), kWhite);
}

TEST(PainterCanvas, PrintedTextLandsInsideItsMeasuredBox)
{
    WhitePicture p(QSize(200, 80));
    PainterCanvas& canvas = p.canvas();
    canvas.setForeColor(colours::WindowText);
    canvas.setCurrentX(300);
    canvas.setCurrentY(450);
    const QString text = QStringLiteral("Kelvane");
    const double width = canvas.TextWidth(text);
    const double height = canvas.TextHeight(text);
    canvas.Print(text);

    const QRect inked = p.inked();
    ASSERT_FALSE(inked.isEmpty());
    EXPECT_TRUE(QRect(20, 30, int(width / 15), int(height / 15)).contains(inked));
    EXPECT_GT(inked.width(), width / 15 / 2);
    EXPECT_EQ(canvas.CurrentY(), 450 + height);
}

TEST(PainterCanvas, MeasuresTextWithTheRealFontInWholePixels)
{
    ImageCanvas picture(QSize(10, 10));
    PainterCanvas& canvas = picture.canvas();
    const double line = canvas.TextHeight(QStringLiteral("x"));
    EXPECT_GT(line, 0) << "the named font is not installed: a stand-in measures";
    EXPECT_EQ(std::fmod(line, 15.0), 0.0);
    EXPECT_GT(canvas.TextWidth(QStringLiteral("WWWW")), canvas.TextWidth(QStringLiteral("iiii")));
    EXPECT_EQ(canvas.TextHeight(QStringLiteral("a\rb")), 2 * line);
    canvas.setFontSize(16);
    EXPECT_GT(canvas.TextHeight(QStringLiteral("x")), 1.5 * line);
    canvas.setFontSize(0);
    EXPECT_GT(canvas.TextHeight(QStringLiteral("x")), 0) << "a size of nothing still measures";
}

TEST(PainterCanvas, CanvasWiderThanSixteenBitsOfTwipsDrawsToItsFarEdge)
{
    WhitePicture p(QSize(2800, 20)); // 42,000 twips
    EXPECT_EQ(p.canvas().ScaleWidth(), 42000);
    p.canvas().Line(40005, 150, 41505, 150, value(kRed));
    p.canvas().Circle(41250, 225, 60, value(kBlue));
    EXPECT_EQ(p.count(QRect(2667, 10, 100, 1), kRed), 100);
    EXPECT_EQ(p.at(2754, 15), kBlue) << "the circle's right rim";
}

TEST(PainterCanvas, PaintsWithABorrowedPainterOnlyWhileItPaints)
{
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PainterCanvas canvas(painter);
        canvas.Line(0, 75, 150, 75, value(kRed));
    }
    EXPECT_EQ(image.pixel(3, 5), kRed);

    QPainter idle;
    EXPECT_EQ(kelvane::test::errorNumberOf([&] { PainterCanvas canvas(idle); }), kelvane::err::ObjectNotSet)
        << "an idle painter is refused";
}

TEST(PainterCanvas, EmptyPictureAndHugeFiguresDrawWithoutHarm)
{
    ImageCanvas empty(QSize(0, 0));
    EXPECT_EQ(empty.canvas().ScaleWidth(), 0);
    empty.canvas().Line(0, 0, 100, 100);
    empty.canvas().Print(QStringLiteral("nothing"));

    WhitePicture p(QSize(50, 50));
    QElapsedTimer timer;
    timer.start();
    p.canvas().Circle(375, 375, 2.0e9, value(kRed));
    p.canvas().Line(-2.0e9, 375, 2.0e9, 375, value(kBlue));
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_EQ(p.at(25, 25), kBlue);
}

TEST(PainterCanvas, DrawsTheFirstLayerWhileTheNextAreWorkedOutAndNothingWhenThatFails)
{
    if (processorCount() < 2)
        GTEST_SKIP() << "one processor draws the layers in turn";
    WhitePicture p(QSize(40, 20));
    const auto redLine = [](Canvas& canvas) { canvas.Line(0, 75, 600, 75, value(kRed)); };
    std::promise<void> firstBegun;
    p.canvas().drawLayers(
        [&](Canvas& canvas) {
            firstBegun.set_value();
            redLine(canvas);
        },
        [&] {
            // Drawing in turn, the first layer would begin only once this returns.
            EXPECT_EQ(firstBegun.get_future().wait_for(std::chrono::seconds(60)), std::future_status::ready);
            return std::vector<Canvas::LayerDrawing> {[](Canvas& canvas) { canvas.Line(150, 0, 150, 300, value(kBlue)); }};
        },
        {});
    EXPECT_EQ(p.count(QRect(0, 5, 40, 1), kRed), 39) << "the red line, crossed by the blue one";
    EXPECT_EQ(p.at(10, 5), kBlue) << "the next layer lies over the first";

    // Every layer, the caller's own included, may wait for what runs alongside them.
    WhitePicture waiting(QSize(40, 20));
    std::promise<void> ready;
    const std::shared_future<void> readyLater = ready.get_future().share();
    const auto greenLineOnceReady = [&](Canvas& canvas) {
        EXPECT_EQ(readyLater.wait_for(std::chrono::seconds(60)), std::future_status::ready);
        canvas.Line(0, 150, 600, 150, value(kGreen));
    };
    waiting.canvas().drawLayers(
        greenLineOnceReady, [&] { return std::vector<Canvas::LayerDrawing>(3, greenLineOnceReady); },
        [&] { ready.set_value(); });
    EXPECT_EQ(waiting.count(QRect(0, 10, 40, 1), kGreen), 40);

    for (const bool inNext : {true, false}) {
        WhitePicture failing(QSize(40, 20));
        EXPECT_EQ(kelvane::test::errorNumberOf([&] {
                      failing.canvas().drawLayers(
                          redLine,
                          [&] {
                              if (inNext)
                                  kelvane::raiseError(kelvane::err::ObjectNotSet);
                              return std::vector<Canvas::LayerDrawing> {redLine};
                          },
                          [] { kelvane::raiseError(kelvane::err::ObjectNotSet); });
                  }),
                  kelvane::err::ObjectNotSet);
        EXPECT_EQ(failing.inked(), QRect()) << "nothing drawn when working out the layers fails";
    }
}

TEST(PainterCanvas, SavesThePictureAsPng)
{
    ImageCanvas picture(QSize(120, 60));
    PainterCanvas& canvas = picture.canvas();
    canvas.setFillStyle(fillstyle::Solid);
    canvas.setFillColor(colours::rgb(255, 255, 192));
    canvas.Circle(900, 450, 375, colours::ButtonShadow);
    canvas.Circle(900, 450, 375, colours::ButtonHighlight, kPi + kPi / 4, kPi / 4);
    canvas.setCurrentX(300);
    canvas.setCurrentY(30);
    canvas.Print(QStringLiteral("Canvas"));

    QDir().mkpath(kelvane::test::buildPath(QStringLiteral("pictures")));
    const QString path = kelvane::test::buildPath(QStringLiteral("pictures/canvas-figures.png"));
    ASSERT_TRUE(picture.savePng(path));
    const QImage read(path);
    EXPECT_EQ(read.size(), QSize(120, 60));
    EXPECT_EQ(read.pixel(60, 30), qRgb(255, 255, 192));
    EXPECT_FALSE(picture.savePng(kelvane::test::scratchFolder() + QStringLiteral("/missing/folder/x.png")));
}
