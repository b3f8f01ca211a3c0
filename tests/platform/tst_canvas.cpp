#include "tests/support/ErrorAssertions.h"
#include "platform/Canvas.h"
#include "platform/RuntimeError.h"
#include "platform/doubles/RecordingCanvas.h"

#include <gtest/gtest.h>
#include <functional>
#include <limits>

using namespace platform;
using platform::doubles::RecordingCanvas;

namespace {
constexpr double kPi = 3.141592653589793;

using kelvane::test::errorNumberOf;
} // namespace

TEST(Colours, ResolvesSystemColoursFromTheTableAndKeepsPlainOnes)
{
    EXPECT_EQ(colours::ButtonFace, qint32(0x8000000F));
    EXPECT_EQ(colours::resolve(colours::ButtonFace), colours::rgb(212, 208, 200));
    EXPECT_EQ(colours::resolve(colours::ButtonShadow), colours::rgb(128, 128, 128));
    EXPECT_EQ(colours::resolve(colours::ButtonHighlight), colours::rgb(255, 255, 255));
    EXPECT_EQ(colours::resolve(colours::WindowText), 0);
    EXPECT_EQ(colours::resolve(colours::system(40)), 0) << "an index the table lacks is black";
    EXPECT_EQ(colours::rgb(255, 0, 0), 0x0000FF);
    EXPECT_EQ(colours::resolve(0x02FF8000), 0x00FF8000);
}

TEST(Canvas, StartsTransparentAndRefusesStylesOutOfRange)
{
    RecordingCanvas canvas;
    EXPECT_EQ(canvas.FillStyle(), fillstyle::Transparent);
    EXPECT_EQ(canvas.BackColor(), colours::ButtonFace);
    EXPECT_EQ(canvas.DrawWidth(), 1);
    canvas.setDrawStyle(drawstyle::Dot);
    EXPECT_EQ(errorNumberOf([&] { canvas.setDrawStyle(7); }), kelvane::err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { canvas.setFillStyle(-1); }), kelvane::err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { canvas.setDrawWidth(0); }), kelvane::err::InvalidPropertyValue);
    EXPECT_EQ(canvas.DrawStyle(), drawstyle::Dot);
    EXPECT_EQ(canvas.DrawWidth(), 1);
}

TEST(Canvas, LineRecordsTheStateInForceAndEndsAtItsEndPoint)
{
    RecordingCanvas canvas(40000, 3000);
    canvas.setForeColor(colours::rgb(1, 2, 3));
    canvas.setDrawStyle(drawstyle::Dot);
    canvas.Line(10, 20, 39999.5, 40);
    EXPECT_EQ(canvas.CurrentX(), 39999.5);
    EXPECT_EQ(canvas.CurrentY(), 40);
    canvas.setDrawStyle(drawstyle::Solid);
    canvas.setFontBold(true);
    canvas.Line(50, 60, 70, 80, colours::Highlight);

    const auto lines = canvas.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].from, QPointF(10, 20));
    EXPECT_EQ(lines[0].to, QPointF(39999.5, 40));
    EXPECT_EQ(lines[0].colour, colours::rgb(1, 2, 3)) << "no colour given: the fore colour";
    EXPECT_EQ(lines[0].state.drawStyle, drawstyle::Dot);
    EXPECT_FALSE(lines[0].state.font.bold);
    EXPECT_EQ(lines[1].colour, colours::Highlight);
    EXPECT_EQ(lines[1].state.drawStyle, drawstyle::Solid);
    EXPECT_TRUE(lines[1].state.font.bold);
}

TEST(Canvas, PositionsThatAreNotNumbersOrTooLargeOverflow)
{
    RecordingCanvas canvas;
    canvas.setCurrentX(5);
    EXPECT_EQ(errorNumberOf([&] { canvas.Line(0, 0, std::numeric_limits<double>::quiet_NaN(), 0); }),
              kelvane::err::Overflow);
    EXPECT_EQ(errorNumberOf([&] { canvas.Line(0, 3e9, 0, 0); }), kelvane::err::Overflow);
    EXPECT_EQ(errorNumberOf([&] { canvas.Circle(0, 0, std::numeric_limits<double>::infinity()); }), kelvane::err::Overflow);
    EXPECT_EQ(canvas.CurrentX(), 5) << "a refused figure does not move the position";
    canvas.setCurrentY(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(errorNumberOf([&] { canvas.Print(QStringLiteral("x")); }), kelvane::err::Overflow);
    EXPECT_TRUE(canvas.primitives().empty());
}

TEST(Canvas, CirclesArcsAndPies)
{
    RecordingCanvas canvas;
    canvas.setFillStyle(fillstyle::Solid);
    canvas.Circle(1500, 500, -250, colours::ButtonShadow);
    EXPECT_EQ(canvas.CurrentX(), 1500);
    EXPECT_EQ(canvas.CurrentY(), 500);
    canvas.Circle(0, 0, 100, std::nullopt, kPi + kPi / 4, kPi / 4);
    canvas.Circle(0, 0, 100, std::nullopt, -1.0, 2.0);
    canvas.Circle(0, 0, 100, std::nullopt, -1.0, -2.0);
    canvas.Circle(0, 0, 100, std::nullopt, 1.0);

    const auto circles = canvas.circles();
    ASSERT_EQ(circles.size(), 5u);
    const CircleFigure& whole = circles[0].figure;
    EXPECT_FALSE(whole.arc);
    EXPECT_TRUE(whole.closed());
    EXPECT_EQ(whole.radius, 250);
    EXPECT_EQ(whole.colour, colours::ButtonShadow);
    EXPECT_EQ(circles[0].state.fillStyle, fillstyle::Solid);

    const CircleFigure& lowerRight = circles[1].figure;
    EXPECT_TRUE(lowerRight.arc);
    EXPECT_FALSE(lowerRight.closed());
    EXPECT_DOUBLE_EQ(lowerRight.startAngle, kPi + kPi / 4);
    EXPECT_DOUBLE_EQ(lowerRight.endAngle, kPi / 4);

    EXPECT_EQ(circles[2].figure.startAngle, 1.0) << "a negative angle stands for its magnitude";
    EXPECT_TRUE(circles[2].figure.radiusToStart);
    EXPECT_FALSE(circles[2].figure.radiusToEnd);
    EXPECT_FALSE(circles[2].figure.closed()) << "one radius leaves the figure open";
    EXPECT_TRUE(circles[3].figure.closed()) << "both radii make a pie";
    EXPECT_DOUBLE_EQ(circles[4].figure.endAngle, 2 * kPi) << "the end defaults to a full turn";
}

TEST(Canvas, AnglesBeyondAFullTurnAreRefused)
{
    RecordingCanvas canvas;
    EXPECT_EQ(errorNumberOf([&] { canvas.Circle(0, 0, 10, std::nullopt, 7.0, 1.0); }), kelvane::err::InvalidProcedureCall);
    EXPECT_EQ(errorNumberOf([&] { canvas.Circle(0, 0, 10, std::nullopt, 0.0, -6.3); }), kelvane::err::InvalidProcedureCall);
    EXPECT_TRUE(canvas.primitives().empty());
    canvas.Circle(0, 0, 10, std::nullopt, -2 * kPi, 2 * 3.141593);
    ASSERT_EQ(canvas.circles().size(), 1u) << "a full turn written with a rounded π is accepted";
    EXPECT_DOUBLE_EQ(canvas.circles()[0].figure.endAngle, 2 * kPi);
}

TEST(Canvas, PrintWritesAtThePositionAndMovesBelowAllItsLines)
{
    RecordingCanvas canvas;
    canvas.setCurrentX(100);
    canvas.setCurrentY(200);
    canvas.Print(QStringLiteral("ab"));
    EXPECT_EQ(canvas.CurrentX(), 0) << "the next line starts at the left edge";
    EXPECT_EQ(canvas.CurrentY(), 440);
    const auto* print = canvas.findPrint(QStringLiteral("ab"));
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print->at, QPointF(100, 200));

    const QString text = QStringLiteral("a\r\nbcd\re\nfg");
    EXPECT_EQ(canvas.TextWidth(text), 300) << "the widest line";
    EXPECT_EQ(canvas.TextHeight(text), 4 * 240);
    EXPECT_EQ(canvas.TextHeight(QString()), 240);
    EXPECT_EQ(canvas.TextHeight(QStringLiteral("\n\r\r\n")), 4 * 240) << "an LF before a CR is two breaks";
    canvas.setFontSize(16);
    canvas.Print(text);
    EXPECT_EQ(canvas.CurrentY(), 440 + 4 * 480);
}
