#include "answercontrols/Fuzzy.h"
#include "answercontrols/OptionButton.h"
#include "answercontrols/Slider.h"
#include "answercontrols/SliderThumb.h"
#include "model/basGlobal.h"
#include "platform/Colours.h"
#include "platform/automation/PropertyBag.h"
#include "tests/answercontrols/AnswerControlsTestSupport.h"
#include "tests/support/ErrorAssertions.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/ShownText.h"

#include <QLabel>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <limits>

using namespace kelvane;
namespace colours = platform::colours;

namespace {

// A control 200 x 150 pixels (3000 x 2250 twips): the slider takes the left quarter, the
// options the rest.
class FuzzyTest : public ::testing::Test {
protected:
    void SetUp() override { test::showAt(fuzzy, 200, 150); }

    // Which option buttons are selected, as their indexes.
    std::vector<int> selected() const
    {
        std::vector<int> found;
        for (int i = 1; i <= fuzzy.Options(); ++i)
            if (fuzzy.optOption(i).isChecked())
                found.push_back(i);
        return found;
    }

    // A press and release on the option's round mark, as the user clicks it.
    void clickOption(int index)
    {
        OptionButton& option = fuzzy.optOption(index);
        QTest::mouseClick(&option, Qt::LeftButton, {}, QPoint(6, option.height() / 2));
    }

    void stepSlider(Qt::Key key) { QTest::keyClick(&fuzzy.Slider1().picSlider(), key); }

    Fuzzy fuzzy;
};

using Selection = std::vector<int>;

} // namespace

TEST_F(FuzzyTest, StartsAtTheMiddleWithoutOptions)
{
    EXPECT_EQ(fuzzy.Value(), 0.5);
    EXPECT_EQ(fuzzy.Slider1().geometry(), QRect(0, 0, 50, 150)); // (3000 - 15) / 4 wide

    QSignalSpy changes(&fuzzy, &Fuzzy::ValueChange);
    stepSlider(Qt::Key_Down);
    EXPECT_EQ(fuzzy.Value(), 0.625);
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(test::errorNumberOf([&] { fuzzy.optOption(1); }), err::ControlArrayElementMissing);
}

TEST_F(FuzzyTest, OptionsSpreadFromATenthToNineTenthsOfTheHeight)
{
    fuzzy.setOptions(5);
    // Each (2250 - 450) / 5 = 360 twips high, centres 450 apart from 225.
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(fuzzy.optOption(i).geometry(), QRect(50, 3 + 30 * (i - 1), 150, 24)) << i;
    EXPECT_TRUE(fuzzy.optOption(5).isVisible());
    fuzzy.setOptions(10); // more than five share the height
    EXPECT_EQ(fuzzy.optOption(10).height(), 12);
    EXPECT_EQ(fuzzy.optOption(3).height(), 24); // made before, kept its height

    fuzzy.resize(200, 300); // from the slider's top and height, by each option's own height
    EXPECT_EQ(fuzzy.optOption(1).y(), (450 - 180) / 15);
    EXPECT_EQ(fuzzy.optOption(10).y(), (450 + 3600 - 90) / 15);
}

TEST_F(FuzzyTest, OneOptionStandsForTheMiddleAndEveryValue)
{
    fuzzy.setOptions(1);
    EXPECT_EQ(fuzzy.optOption(1).height(), 17); // the template's height
    EXPECT_EQ(fuzzy.optOption(1).y(), 66);      // 1125 - 127.5 twips, on a whole pixel
    EXPECT_TRUE(selected().empty());

    fuzzy.setValue(0.5);
    EXPECT_EQ(selected(), Selection({1}));
    stepSlider(Qt::Key_Down);
    EXPECT_EQ(selected(), Selection({1}));

    fuzzy.resize(200, 160); // half the height less its whole height
    EXPECT_EQ(fuzzy.optOption(1).y(), (1200 - 255) / 15);
}

TEST_F(FuzzyTest, SliderSelectsTheOptionAtItsPoint)
{
    fuzzy.setOptions(5); // points 0, 0.25, 0.5, 0.75, 1
    fuzzy.setValue(0.5);
    EXPECT_EQ(selected(), Selection({3}));
    EXPECT_EQ(fuzzy.OptionIndex(), 0);

    fuzzy.setValue(0);
    const std::vector<Selection> expected = {{}, {2}, {}, {3}, {}, {4}, {}, {5}};
    for (const Selection& selection : expected) {
        stepSlider(Qt::Key_Down);
        EXPECT_EQ(selected(), selection) << "at " << fuzzy.Value();
    }

    fuzzy.setOptions(4); // points 0, 1/3, 2/3, 1: no eighth but the ends reaches one
    fuzzy.setValue(0.375);
    stepSlider(Qt::Key_Down);
    EXPECT_TRUE(selected().empty());
    clickOption(2); // the middle ones are reached by clicking them
    EXPECT_DOUBLE_EQ(fuzzy.Value(), 1.0 / 3);
    EXPECT_EQ(selected(), Selection({2}));
    EXPECT_EQ(fuzzy.OptionIndex(), 0); // a click is not an assignment
}

TEST_F(FuzzyTest, ValueChangeCounts)
{
    fuzzy.setOptions(5);
    QSignalSpy changes(&fuzzy, &Fuzzy::ValueChange);
    fuzzy.setValue(0.75);
    EXPECT_EQ(changes.count(), 3);
    fuzzy.setValue(0.75);
    EXPECT_EQ(changes.count(), 5);
    stepSlider(Qt::Key_Up);
    EXPECT_EQ(changes.count(), 7);
    QTest::mouseClick(&fuzzy.Slider1(), Qt::LeftButton, {}, QPoint(20, 120)); // below the point
    EXPECT_EQ(fuzzy.Value(), 0.75);
    EXPECT_EQ(changes.count(), 9);
    clickOption(2);
    EXPECT_EQ(changes.count(), 12);
    clickOption(2); // already selected: nothing happens
    EXPECT_EQ(changes.count(), 12);

    for (double ignored : {1.5, -0.1, std::numeric_limits<double>::quiet_NaN()})
        fuzzy.setValue(ignored);
    EXPECT_EQ(fuzzy.Value(), 0.25);
    EXPECT_EQ(changes.count(), 12);
}

TEST_F(FuzzyTest, OptionCountChangesKeepTheValue)
{
    fuzzy.setOptions(5);
    fuzzy.setValue(0.5);
    QSignalSpy changes(&fuzzy, &Fuzzy::ValueChange);

    fuzzy.setOptions(11);
    fuzzy.setOptions(-1);
    EXPECT_EQ(selected(), Selection({3}));

    fuzzy.setOptions(3);
    EXPECT_TRUE(selected().empty());
    EXPECT_EQ(test::errorNumberOf([&] { fuzzy.optOption(4); }), err::ControlArrayElementMissing);
    EXPECT_EQ(fuzzy.Value(), 0.5);
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(FuzzyTest, OptionIndexSelectsOrClears)
{
    fuzzy.setOptions(5);
    fuzzy.setValue(0.5);
    fuzzy.setOptionIndex(0);
    EXPECT_TRUE(selected().empty());
    EXPECT_EQ(fuzzy.Value(), 0.5);

    fuzzy.setOptionIndex(2);
    EXPECT_EQ(selected(), Selection({2}));
    EXPECT_EQ(fuzzy.Value(), 0.25);

    fuzzy.setOptionIndex(6); // beyond the options
    EXPECT_EQ(fuzzy.OptionIndex(), 2);

    clickOption(3);
    EXPECT_EQ(fuzzy.OptionIndex(), 2); // still the one last assigned
    stepSlider(Qt::Key_Down);           // between points
    EXPECT_EQ(fuzzy.OptionIndex(), 0);
}

TEST_F(FuzzyTest, FirstSelectionWithoutAPressIsUndone)
{
    fuzzy.setOptions(3);
    fuzzy.setValue(0.25);
    fuzzy.resize(200, 151); // a resize forgets any earlier press
    QTest::keyClick(&fuzzy.optOption(3), Qt::Key_Space);
    EXPECT_TRUE(selected().empty());
    EXPECT_EQ(fuzzy.Value(), 0.25);

    QTest::keyClick(&fuzzy.optOption(3), Qt::Key_Space);
    EXPECT_EQ(selected(), Selection({3}));
    EXPECT_EQ(fuzzy.Value(), 1);
}

TEST_F(FuzzyTest, FocusLeavingForgetsThePress)
{
    QWidget form;
    Fuzzy inner(&form);
    QWidget other(&form);
    other.setFocusPolicy(Qt::StrongFocus);
    test::showAt(form, 300, 200);
    inner.setGeometry(0, 0, 200, 150);
    other.setGeometry(250, 0, 20, 20);
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    inner.setOptions(3);
    inner.setValue(0);

    QTest::mouseClick(&inner.optOption(2), Qt::LeftButton, {}, QPoint(6, 6));
    EXPECT_EQ(inner.Value(), 0.5);
    EXPECT_EQ(QApplication::focusWidget(), &inner.Slider1().picSlider()); // once painted

    QTest::keyClick(&inner.optOption(3), Qt::Key_Space); // the press still counts
    EXPECT_EQ(inner.Value(), 1);

    other.setFocus();
    QTest::keyClick(&inner.optOption(1), Qt::Key_Space); // now it does not
    EXPECT_EQ(inner.Value(), 1);
}

TEST_F(FuzzyTest, PropertiesWorkOnTheCurrentOption)
{
    fuzzy.setOptions(3);
    for (qint16 i = 1; i <= 3; ++i) {
        fuzzy.setOptionIndex(i);
        fuzzy.setCaption(QStringLiteral("Answer %1").arg(i));
    }
    EXPECT_EQ(fuzzy.Caption(), QStringLiteral("Answer 3"));

    QSignalSpy notices(&fuzzy, &Fuzzy::propertyChanged);
    fuzzy.setOptionIndex(2);
    fuzzy.setFontName(QStringLiteral("DejaVu Sans"));
    fuzzy.setFontSize(12);
    fuzzy.setFontItalic(true);
    fuzzy.setForeColor(colours::rgb(0, 0, 128));
    EXPECT_EQ(notices.count(), 4);
    EXPECT_EQ(fuzzy.optOption(2).fontDescription(),
              (platform::FontDescription {QStringLiteral("DejaVu Sans"), 12, false, true, false, false}));
    EXPECT_EQ(fuzzy.optOption(2).palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_FALSE(fuzzy.optOption(1).fontDescription().italic);

    fuzzy.setOptionIndex(0); // the template: options made afterwards take its font
    fuzzy.setFontBold(true);
    fuzzy.setOptions(4);
    EXPECT_TRUE(fuzzy.optOption(4).fontDescription().bold);

    EXPECT_EQ(test::errorNumberOf([&] { fuzzy.setFontSize(0); }), err::InvalidPropertyValue);
}

TEST_F(FuzzyTest, RefusedFontNameBecomesTheDefault)
{
    fuzzy.setOptions(1);
    fuzzy.setOptionIndex(1);
    basGlobal::DefaultFontName = QStringLiteral("Program Default");
    fuzzy.setFontName(QString(40, u'x')); // longer than a face name may be
    EXPECT_EQ(fuzzy.FontName(), QStringLiteral("Program Default"));
    basGlobal::DefaultFontName = QStringLiteral("MS Sans Serif");

    Fuzzy standalone(nullptr, [] { return QStringLiteral("MS Sans Serif"); });
    standalone.setFontName(QStringLiteral(" "));
    EXPECT_EQ(standalone.FontName(), QStringLiteral("MS Sans Serif"));
}

TEST_F(FuzzyTest, MissingOptionsFailTheCall)
{
    fuzzy.setOptions(5);
    fuzzy.setOptionIndex(5);
    fuzzy.setOptions(3); // the current index is not lowered
    EXPECT_EQ(fuzzy.OptionIndex(), 5);
    EXPECT_EQ(test::errorNumberOf([&] { fuzzy.setFontBold(true); }), err::ControlArrayElementMissing);
    EXPECT_EQ(test::errorNumberOf([&] { fuzzy.setCaption(QStringLiteral("x")); }),
              err::ControlArrayElementMissing);
    EXPECT_EQ(fuzzy.Caption(), QStringLiteral("x")); // the text was kept before the option was looked for
}

TEST_F(FuzzyTest, LabelModeShowsPlainLabels)
{
    fuzzy.Label = true;
    fuzzy.setOptions(3);
    EXPECT_EQ(fuzzy.labLabel(3).height(), 38); // a quarter of the height, 562.5 twips
    EXPECT_EQ(fuzzy.labLabel(1).y(), qRound((225 - 360 / 2.0) / 15)); // placed before it was sized
    for (qint16 i = 1; i <= 3; ++i) {
        fuzzy.setOptionIndex(i);
        fuzzy.setCaption(QStringLiteral("<b>Label</b> %1").arg(i));
    }
    EXPECT_EQ(test::shownText(fuzzy.labLabel(2)), QStringLiteral("<b>Label</b> 2")); // no markup read
    fuzzy.setValue(0.3); // between points
    EXPECT_EQ(fuzzy.OptionIndex(), 0);

    // Font properties and Enabled look for option buttons, which label mode does not make.
    fuzzy.setOptionIndex(1);
    EXPECT_EQ(test::errorNumberOf([&] { fuzzy.setFontItalic(true); }), err::ControlArrayElementMissing);
    EXPECT_EQ(test::errorNumberOf([&] { fuzzy.setEnabled(false); }), err::ControlArrayElementMissing);
    EXPECT_FALSE(fuzzy.Enabled()); // the slider was set first
}

TEST_F(FuzzyTest, DisabledControlKeepsItsValue)
{
    fuzzy.setOptions(3);
    fuzzy.setValue(0);
    fuzzy.setEnabled(false);
    clickOption(2);
    fuzzy.setOptionIndex(3); // selected, but the value stays
    EXPECT_EQ(selected(), Selection({3}));
    EXPECT_EQ(fuzzy.Value(), 0);
    fuzzy.setOptions(4);
    EXPECT_FALSE(fuzzy.optOption(4).isEnabled()); // made with the control's state
}

TEST_F(FuzzyTest, SavedPropertiesLeaveOutTheirDefaults)
{
    platform::automation::PropertyBag bag;
    fuzzy.InitProperties();
    fuzzy.WriteProperties(bag);
    EXPECT_EQ(bag.toText(), QStringLiteral("FontName = \"MS Sans Serif\"\nFontTransparent = False\n"));

    fuzzy.setCaption(QStringLiteral("Why?"));
    fuzzy.setFontSize(10);
    fuzzy.setFontUnderline(true);
    fuzzy.setFontTransparent(true);
    fuzzy.setForeColor(colours::rgb(255, 0, 0));
    platform::automation::PropertyBag changed;
    fuzzy.WriteProperties(changed);
    EXPECT_EQ(changed.toText(), QStringLiteral("Caption = \"Why?\"\nFontName = \"MS Sans Serif\"\nFontSize = 10#\n"
                                               "FontUnderline = True\nForeColor = 255&\n"));
}

TEST_F(FuzzyTest, LoadedPropertiesGoToTheTemplate)
{
    Fuzzy loaded;
    loaded.ReadProperties({});
    EXPECT_TRUE(loaded.FontTransparent()); // absent means True when loading
    EXPECT_EQ(loaded.FontName(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(loaded.FontSize(), 8.0f);
    EXPECT_EQ(loaded.ForeColor(), colours::ButtonText);

    const QString saved = QStringLiteral("Caption = \"Pick one\"\nFontItalic = True\nFontName = \"DejaVu Serif\"\n"
                                         "FontSize = 9.75#\nFontTransparent = False\nForeColor = 32768&\n");
    Fuzzy restored;
    restored.ReadProperties(platform::automation::PropertyBag::fromText(saved));
    EXPECT_EQ(restored.Caption(), QStringLiteral("Pick one"));
    EXPECT_TRUE(restored.optOption(0).text().isEmpty()); // the caption text only
    EXPECT_FALSE(restored.FontTransparent());
    restored.setOptions(2);
    const platform::FontDescription& font = restored.optOption(2).fontDescription();
    EXPECT_EQ(font, (platform::FontDescription {QStringLiteral("DejaVu Serif"), 9.75, false, true, false, false}));
    EXPECT_EQ(restored.optOption(2).ForeColor(), 0x8000);

    platform::automation::PropertyBag again;
    restored.WriteProperties(again);
    EXPECT_EQ(again.toText(), saved);
}

TEST_F(FuzzyTest, AFontSizeOutOfRangeIsLeftOutOnLoadSoTheControlStillSaves)
{
    Fuzzy loaded;
    loaded.ReadProperties(platform::automation::PropertyBag::fromText(
        QStringLiteral("FontSize = 3.5E+38#\nFontUnderline = True\n")));
    EXPECT_EQ(loaded.FontSize(), 8.0f);
    EXPECT_TRUE(loaded.FontUnderline()); // what follows still loads

    platform::automation::PropertyBag saved;
    loaded.WriteProperties(saved);
    EXPECT_EQ(saved.toText(), QStringLiteral("FontName = \"MS Sans Serif\"\nFontUnderline = True\n"));
}
