#include "answercontrols/Circle.h"
#include "model/basGlobal.h"
#include "platform/Colours.h"
#include "platform/PointerCodes.h"
#include "platform/doubles/RecordingCanvas.h"
#include "tests/answercontrols/AnswerControlsTestSupport.h"
#include "tests/support/ErrorAssertions.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace kelvane;
namespace colours = platform::colours;

namespace {

class CircleTest : public ::testing::Test {
protected:
    void SetUp() override { basGlobal::Settings = {}; }
    void TearDown() override { basGlobal::Settings = {}; }

    QColor pixelAt(int x, int y) { return marker.grab().toImage().pixelColor(x, y); }

    Circle marker;
};

} // namespace

TEST_F(CircleTest, StaysSquareAndDrawsARedRimmedCircle)
{
    test::showAt(marker, 40, 20); // height 300 twips
    EXPECT_EQ(marker.size(), QSize(20, 20));
    marker.setFillColour(Variant(qint32(0x00FF00)));

    platform::doubles::RecordingCanvas canvas(300, 300);
    marker.drawOn(canvas);
    const auto circles = canvas.circles();
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_EQ(circles[0].figure.centre, QPointF(150, 150));
    EXPECT_EQ(circles[0].figure.radius, 135);
    EXPECT_EQ(circles[0].figure.colour, 0xFF);
    EXPECT_EQ(circles[0].state.fillColor, 0x00FF00);
    EXPECT_EQ(circles[0].state.fillStyle, platform::fillstyle::Solid);

    EXPECT_EQ(pixelAt(10, 10), QColor(0, 255, 0));  // filled
    EXPECT_EQ(pixelAt(10, 1), QColor(255, 0, 0));   // rim, a pixel in from the edge
    marker.resize(20, 30);
    EXPECT_EQ(marker.size(), QSize(30, 30));
}

TEST_F(CircleTest, CornersTakeTheProgramBackColourAtTheNextPaint)
{
    test::showAt(marker, 20, 20);
    const qint32 face = colours::resolve(colours::ButtonFace);
    EXPECT_EQ(pixelAt(0, 0), QColor(colours::red(face), colours::green(face), colours::blue(face)));
    basGlobal::Settings.BackColour = colours::rgb(0, 0, 255);
    EXPECT_EQ(pixelAt(0, 0), QColor(0, 0, 255));
}

TEST_F(CircleTest, FillColourReadsBackAsAWholeNumber)
{
    marker.setFillColour(Variant(255.0));
    EXPECT_EQ(marker.FillColour(), Variant(qint32(255)));
    EXPECT_EQ(marker.FillColour().type(), Variant::Type::Long);
    marker.setFillColour(Variant(u"-2147483633"));
    EXPECT_EQ(marker.FillColour(), Variant(colours::ButtonFace));
    EXPECT_EQ(test::errorNumberOf([&] { marker.setFillColour(Variant(u"red")); }), err::TypeMismatch);
    EXPECT_EQ(test::errorNumberOf([&] { marker.setFillColour(Variant(3e10)); }), err::Overflow);
    EXPECT_EQ(marker.FillColour(), Variant(colours::ButtonFace));
}

TEST_F(CircleTest, PassesPressAndReleaseOnWithTheirArguments)
{
    test::showAt(marker, 20, 20);
    QSignalSpy downs(&marker, &Circle::MouseDown);
    QSignalSpy ups(&marker, &Circle::MouseUp);
    QTest::mousePress(&marker, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier, QPoint(4, 6));
    QTest::mouseRelease(&marker, Qt::RightButton, Qt::NoModifier, QPoint(5, 7));
    ASSERT_EQ(downs.count(), 1);
    ASSERT_EQ(ups.count(), 1);
    const QList<QVariant> down = downs.takeFirst();
    EXPECT_EQ(down[0].value<qint16>(), platform::pointer::RightButton);
    EXPECT_EQ(down[1].value<qint16>(), platform::pointer::ShiftMask | platform::pointer::CtrlMask);
    EXPECT_EQ(down[2].toFloat(), 60.0f);
    EXPECT_EQ(down[3].toFloat(), 90.0f);
    const QList<QVariant> up = ups.takeFirst();
    EXPECT_EQ(up[0].value<qint16>(), platform::pointer::RightButton);
    EXPECT_EQ(up[1].value<qint16>(), 0);
    EXPECT_EQ(up[2].toFloat(), 75.0f);
}
