// The diagram's canvas: what is drawn stays, and pointer input arrives in twips with the
// old button and shift codes.
#include "diagram/NetworkCanvas.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace kelvane;

namespace {

class Canvas : public ::testing::Test {
protected:
    Canvas()
    {
        canvas.resize(200, 100);
        canvas.show();
    }
    NetworkCanvas canvas;
};

} // namespace

TEST_F(Canvas, PressMoveAndReleaseArriveInTwipsWithTheOldCodes)
{
    QSignalSpy down(&canvas, &NetworkCanvas::MouseDown);
    QSignalSpy move(&canvas, &NetworkCanvas::MouseMove);
    QSignalSpy up(&canvas, &NetworkCanvas::MouseUp);
    QTest::mousePress(&canvas, Qt::RightButton, Qt::ControlModifier, QPoint(10, 20));
    QTest::mouseMove(&canvas, QPoint(30, 40));
    QTest::mouseRelease(&canvas, Qt::RightButton, Qt::ShiftModifier, QPoint(30, 40));

    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(down.at(0).at(0).value<qint16>(), NetworkCanvas::kRightButton);
    EXPECT_EQ(down.at(0).at(1).value<qint16>(), NetworkCanvas::kCtrlKey);
    EXPECT_FLOAT_EQ(down.at(0).at(2).toFloat(), 150.0f);
    EXPECT_FLOAT_EQ(down.at(0).at(3).toFloat(), 300.0f);
    ASSERT_GE(move.count(), 1);
    EXPECT_FLOAT_EQ(move.last().at(2).toFloat(), 450.0f);
    ASSERT_EQ(up.count(), 1);
    EXPECT_EQ(up.at(0).at(0).value<qint16>(), NetworkCanvas::kRightButton);
    EXPECT_EQ(up.at(0).at(1).value<qint16>(), NetworkCanvas::kShiftKey);
    EXPECT_FLOAT_EQ(up.at(0).at(3).toFloat(), 600.0f);
}

TEST_F(Canvas, SecondPressOfADoubleClickIsTheDoubleClickOnly)
{
    QSignalSpy down(&canvas, &NetworkCanvas::MouseDown);
    QSignalSpy twice(&canvas, &NetworkCanvas::DblClick);
    QTest::mouseDClick(&canvas, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(twice.count(), 1);
    EXPECT_EQ(down.count(), 0);
}

TEST_F(Canvas, DrawingSurvivesAResizeAndTheBackColourClears)
{
    canvas.setBackColor(0x000000FF); // red, as 0x00BBGGRR
    canvas.canvas().Line(0, 750, 3000, 750, 0x00FF0000); // blue, across the middle
    canvas.resize(300, 200);
    const QImage picture = canvas.Image();
    EXPECT_EQ(picture.size(), QSize(300, 200));
    EXPECT_EQ(picture.pixelColor(100, 50), QColor(Qt::blue));
    EXPECT_EQ(picture.pixelColor(100, 10), QColor(Qt::red));
    EXPECT_EQ(picture.pixelColor(250, 150), QColor(Qt::red)); // the new part in the back colour
    EXPECT_DOUBLE_EQ(canvas.ScaleWidth(), 4500.0);
}
