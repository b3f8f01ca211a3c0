#include "answercontrols/HSlider.h"
#include "answercontrols/Slider.h"
#include "answercontrols/SliderThumb.h"
#include "model/basLibrary.h"
#include "platform/Colours.h"
#include "platform/doubles/RecordingCanvas.h"
#include "platform/doubles/ScriptedUiServices.h"
#include "tests/answercontrols/AnswerControlsTestSupport.h"

#include <QSignalSpy>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace kelvane;
using kelvane::test::sendMouse;
using kelvane::test::showAt;
namespace colours = platform::colours;

namespace {

// A vertical slider 50 x 200 pixels (750 x 3000 twips): groove at X1 = 360 from Y1 = 300 to
// Y2 = 2700, interval 283, thumb 23 x 11 pixels.
class SliderTest : public ::testing::Test {
protected:
    void SetUp() override { showAt(slider, 50, 200); }

    // A pixel on the track for a value, beside the groove (where a click counts).
    static QPoint besideGroove(double value) { return {20, int((300 + 2400 * value) / 15)}; }

    Slider slider;
};

class HSliderTest : public ::testing::Test {
protected:
    void SetUp() override { showAt(slider, 200, 50); }
    HSlider slider;
};

} // namespace

TEST_F(SliderTest, GrooveTicksAndThumbFollowTheSize)
{
    const SliderLayout& layout = slider.layout();
    const auto& groove = layout.groove();
    EXPECT_EQ(groove.linGroove, (LineSegment {{360, 300}, {360, 2700}, 2, colours::ButtonDarkShadow}));
    EXPECT_EQ(groove.linGrooveLeft, (LineSegment {{345, 300}, {345, 2700}, 2, colours::ButtonShadow}));
    EXPECT_EQ(groove.linGrooveRight, (LineSegment {{375, 300}, {375, 2715}, 2, colours::ButtonHighlight}));
    EXPECT_EQ(groove.linGrooveTop, (LineSegment {{345, 285}, {375, 285}, 2, colours::ButtonShadow}));
    EXPECT_EQ(groove.linGrooveBottom, (LineSegment {{345, 2715}, {375, 2715}, 2, colours::ButtonHighlight}));
    EXPECT_EQ(layout.interval(), 283);

    // Ticks 298 apart from 292.5; band 80; those at 0, 0.5 and 1 a third longer outwards.
    const auto& ticks = layout.ticks();
    EXPECT_EQ(ticks[0], (LineSegment {{120 - 80.0 / 3, 292.5}, {200, 292.5}, 1, colours::ButtonDarkShadow}));
    EXPECT_EQ(ticks[1].from, QPointF(120, 590.5));
    EXPECT_EQ(ticks[13].to, QPointF(602 + 80.0 / 3, 292.5 + 4 * 298));
    EXPECT_EQ(ticks[14].to, QPointF(602, 292.5 + 5 * 298));

    // Thumb: 0.6 x 283 lands on 11 pixels; its width is twice that and one pixel more.
    EXPECT_EQ(layout.thumbSize(), QSizeF(345, 165));
    EXPECT_EQ(slider.picSlider().size(), QSize(23, 11));
    EXPECT_EQ(slider.picSlider().pos(), QPoint(12, 14)); // value 0: (187.5, 208.875) twips
}

TEST_F(SliderTest, DrawsGrooveAndTicksAndABevelledThumb)
{
    platform::doubles::RecordingCanvas canvas(750, 3000);
    slider.drawOn(canvas);
    const auto lines = canvas.lines();
    ASSERT_EQ(lines.size(), 5u + 18u);
    EXPECT_EQ(lines[4].from, QPointF(360, 300)); // the centre line over its sides
    EXPECT_EQ(lines[4].state.drawWidth, 2);

    // The thumb's face lights up while it is held.
    const auto faceColour = [this] { return slider.picSlider().grab().toImage().pixelColor(5, 5); };
    const QColor rest = faceColour();
    const QPoint centre(11, 5);
    sendMouse(slider.picSlider(), QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(slider.picSlider().faceColour(), colours::ButtonHighlight);
    EXPECT_NE(faceColour(), rest);
    sendMouse(slider.picSlider(), QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(faceColour(), rest);

    // Bevel of the 23 x 11 pixel thumb, and of the horizontal twin's turned a quarter.
    const auto edges = SliderLayout::thumbEdges(kVerticalSlider, QSizeF(345, 165));
    EXPECT_EQ(edges.linSliderRight.from, QPointF(315, 15));
    const auto turned = SliderLayout::thumbEdges(kHorizontalSlider, QSizeF(165, 345));
    EXPECT_EQ(turned.linSliderLeft.to, QPointF(150, 0)); // along the top edge
    EXPECT_EQ(turned.linSliderTop.to, QPointF(0, 345));  // down the left edge
}

TEST_F(SliderTest, ValueIsClampedAndGlidesWithTwoChangeEvents)
{
    QSignalSpy changes(&slider, &Slider::ValueChange);
    slider.setValue(2);
    EXPECT_EQ(slider.Value(), 1);
    EXPECT_EQ(changes.count(), 2);

    slider.setValue(-0.5);
    EXPECT_EQ(slider.Value(), 0);
    EXPECT_EQ(changes.count(), 4);

    slider.setValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(slider.Value(), 0);
    EXPECT_EQ(changes.count(), 5); // the same value: stored and reported once, no glide
}

TEST_F(SliderTest, GlidingPlacesTheThumbInHundredths)
{
    platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> ui;
    std::vector<int> tops;
    QObject::connect(&slider, &Slider::ValueChange, [&] { tops.push_back(slider.picSlider().y()); });

    slider.setValue(1);
    // Events are let through once after storing, then at each of the 101 hundredths from 0
    // to 1 and at the final place.
    EXPECT_EQ(ui->yields, 1 + 101 + 1);
    ASSERT_EQ(tops.size(), 2u);
    EXPECT_EQ(tops[0], 14);  // the first event comes before the thumb moves
    EXPECT_EQ(tops[1], 174); // the second once it is there

    ui->yields = 0;
    slider.setValue(0.995);
    EXPECT_EQ(ui->yields, 1 + 1 + 1); // at 1, not past 0.995, then at 0.995
}

TEST_F(SliderTest, StepKeysMoveByEighthsOnTheThumb)
{
    struct Case {
        double from;
        Qt::Key key;
        double to;
    };
    const Case cases[] = {
        {0.3, Qt::Key_Down, 0.375}, {0.3, Qt::Key_Up, 0.25},  {0.25, Qt::Key_Down, 0.375},
        {0.25, Qt::Key_Up, 0.125}, {0.0, Qt::Key_Up, 0.0},   {1.0, Qt::Key_Down, 1.0},
        {0.5, Qt::Key_Left, 0.5},   {0.5, Qt::Key_PageUp, 0.5},
    };
    for (const Case& c : cases) {
        slider.setValue(c.from);
        QTest::keyClick(&slider.picSlider(), c.key);
        EXPECT_DOUBLE_EQ(slider.Value(), c.to) << "from " << c.from << " key " << c.key;
    }

    slider.setValue(0.5);
    // The step comes when the key goes up, once however long it is held.
    QTest::keyPress(&slider.picSlider(), Qt::Key_Down);
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&slider.picSlider(), &repeated);
    EXPECT_EQ(slider.Value(), 0.5);
    QTest::keyRelease(&slider.picSlider(), Qt::Key_Down);
    EXPECT_EQ(slider.Value(), 0.625);
}

TEST_F(SliderTest, ClickBesideTheGrooveStepsTowardsIt)
{
    struct Case {
        double from;
        QPoint at;
        double to;
    };
    const Case cases[] = {
        {0.5, besideGroove(0.75), 0.625},   // below the thumb's point
        {0.5, besideGroove(0.25), 0.375},   // above
        {0.3, besideGroove(0.9), 0.375},    // off an eighth: first to the next one that way
        {0.3, besideGroove(0.1), 0.25},
        {0.5, {45, 100}, 0.5},              // right of the band
        {0.5, {20, 10}, 0.5},               // above the track
    };
    for (const Case& c : cases) {
        slider.setValue(c.from);
        QTest::mouseClick(&slider, Qt::LeftButton, {}, c.at);
        EXPECT_DOUBLE_EQ(slider.Value(), c.to) << "from " << c.from << " at " << c.at.y();
    }
}

TEST_F(SliderTest, DraggingTheThumbFollowsThePointer)
{
    slider.setValue(0.5); // thumb top at 94 pixels
    QSignalSpy changes(&slider, &Slider::ValueChange);
    SliderThumb& thumb = slider.picSlider();
    sendMouse(thumb, QEvent::MouseButtonPress, {11, 5}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(thumb, QEvent::MouseMove, {11, 25}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(thumb.y(), 114);
    EXPECT_DOUBLE_EQ(slider.Value(), (82.5 + 114 * 15 - 300) / 2400);
    EXPECT_EQ(changes.count(), 1); // once per move, no glide
    sendMouse(thumb, QEvent::MouseButtonRelease, {11, 5}, Qt::LeftButton, Qt::NoButton);
    sendMouse(thumb, QEvent::MouseMove, {11, 45}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(thumb.y(), 114); // no longer held
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(SliderTest, DraggingPastAnEndHoldsExactlyZeroOrOne)
{
    SliderThumb& thumb = slider.picSlider();
    slider.setValue(0);
    sendMouse(thumb, QEvent::MouseButtonPress, {11, 5}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(thumb, QEvent::MouseMove, {11, 0}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(slider.Value(), 0);
    sendMouse(thumb, QEvent::MouseMove, {11, -3}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(slider.Value(), 0);
    sendMouse(thumb, QEvent::MouseButtonRelease, {11, 5}, Qt::LeftButton, Qt::NoButton);

    slider.setValue(1);
    sendMouse(thumb, QEvent::MouseButtonPress, {11, 5}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(thumb, QEvent::MouseMove, {11, 9}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(slider.Value(), 1);
    EXPECT_EQ(thumb.y() * 15, 2700 - 82.5 - 7.5); // Y2 less half the thumb, on a whole pixel
}

TEST_F(SliderTest, AFastDragPastAnEndStoresNoValueOutsideZeroToOne)
{
    SliderThumb& thumb = slider.picSlider();
    for (const auto& [pointer, end] : {std::pair {400, 1.0}, std::pair {-400, 0.0}}) {
        slider.setValue(0.5);
        sendMouse(thumb, QEvent::MouseButtonPress, {11, 5}, Qt::LeftButton, Qt::LeftButton);
        sendMouse(thumb, QEvent::MouseMove, {11, pointer}, Qt::NoButton, Qt::LeftButton);
        EXPECT_EQ(slider.Value(), end);
        sendMouse(thumb, QEvent::MouseButtonRelease, {11, 5}, Qt::LeftButton, Qt::NoButton);
    }
}

TEST_F(SliderTest, DisabledSliderTakesNoInput)
{
    slider.setValue(0.5);
    slider.setEnabled(false);
    EXPECT_FALSE(slider.Enabled());
    QTest::mouseClick(&slider, Qt::LeftButton, {}, besideGroove(0.75));
    QTest::keyClick(&slider, Qt::Key_Down);
    QTest::keyClick(&slider.picSlider(), Qt::Key_Down);
    EXPECT_EQ(slider.Value(), 0.5);
}

TEST_F(SliderTest, TinySliderLaysOutWithoutFailing)
{
    platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> ui;
    basLibrary::DebugMode = true; // a failed layout would be reported in a message box
    slider.resize(3, 5);
    basLibrary::DebugMode = false;
    EXPECT_TRUE(ui->messageBoxes.empty());
    EXPECT_EQ(slider.layout().groove().linGroove.width, 0); // drawn one pixel wide
    EXPECT_EQ(slider.picSlider().size(), QSize(1, 0));
    platform::doubles::RecordingCanvas canvas(45, 75);
    slider.drawOn(canvas);
    EXPECT_EQ(canvas.lines()[4].state.drawWidth, 1);
}

TEST_F(HSliderTest, RunsLeftToRightWithOneEventPerValue)
{
    const SliderLayout& layout = slider.layout();
    EXPECT_EQ(layout.groove().linGroove, (LineSegment {{300, 360}, {2700, 360}, 2, colours::ButtonDarkShadow}));
    EXPECT_EQ(layout.groove().linGrooveRight.to, QPointF(2715, 375)); // lit side below, longer at the far end
    EXPECT_EQ(layout.groove().linGrooveTop.from, QPointF(285, 345));  // the left cap
    // Band 40: ticks above from 240 and below from 442, each 40 long.
    EXPECT_EQ(layout.ticks()[1].from, QPointF(590.5, 240));
    EXPECT_EQ(layout.ticks()[1].to, QPointF(590.5, 280));
    EXPECT_EQ(layout.ticks()[9].to, QPointF(292.5, 442 + 40 + 40.0 / 3));
    EXPECT_EQ(layout.thumbSize(), QSizeF(90, 195));

    QSignalSpy changes(&slider, &HSlider::ValueChange);
    slider.setValue(0.5);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(slider.picSlider().pos(), QPoint(97, 18)); // 261.9375 + 1200 twips; 262.5

    QTest::keyClick(&slider.picSlider(), Qt::Key_Left);
    QTest::keyClick(&slider.picSlider(), Qt::Key_Down); // not a key of this one
    EXPECT_EQ(slider.Value(), 0.375);

    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(170, 20)); // right of the value's point
    EXPECT_EQ(slider.Value(), 0.5);

    SliderThumb& thumb = slider.picSlider();
    sendMouse(thumb, QEvent::MouseButtonPress, {3, 6}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(thumb, QEvent::MouseMove, {13, 6}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(thumb.x(), 107);
    EXPECT_DOUBLE_EQ(slider.Value(), (45 + 107 * 15 - 300) / 2400.0);
}
