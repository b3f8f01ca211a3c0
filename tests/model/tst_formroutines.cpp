#include "model/CaptionLabel.h"
#include "model/FormWindow.h"
#include "model/basLibrary.h"
#include "platform/doubles/ScriptedUiServices.h"

#include <gtest/gtest.h>

using platform::ScopedService;
using platform::UiServices;
using platform::doubles::ScriptedUiServices;

namespace {

struct FakeForm : kelvane::FormWindow {
    double Width() const override { return width; }
    double Height() const override { return height; }
    void Move(double l, double t) override { left = l, top = t; }
    double width = 4800, height = 3600, left = -1, top = -1;
};

struct FakeLabel : kelvane::CaptionLabel {
    void setCaption(const QString& c) override { caption = c; }
    platform::FontDescription Font() const override
    {
        if (fontFails)
            kelvane::raiseError(kelvane::err::ObjectNotSet);
        return font;
    }
    double Width() const override { return width; }
    double Height() const override { return height; }
    void setHeight(double h) override { height = h; }
    QString caption;
    platform::FontDescription font;
    double width = 1000, height = 240;
    bool fontFails = false;
};

} // namespace

TEST(CentreForm, CentresOnTheScreenEvenWhenLarger)
{
    ScopedService<UiServices, ScriptedUiServices> ui;
    ui->screen = QSize(15360, 11520);
    FakeForm form;
    basLibrary::CentreForm(form);
    EXPECT_EQ(std::make_pair(form.left, form.top), std::make_pair(5280.0, 3960.0));
    form.width = 20000;
    basLibrary::CentreForm(form);
    EXPECT_EQ(form.left, -2320);
}

// The scripted metrics: 100 twips a character and 240 twips a line at 8 points.
TEST(AutoSizeLabel, GrowsByTheWrappedRowsOfEachLineButNeverShrinks)
{
    ScopedService<UiServices, ScriptedUiServices> ui;
    FakeLabel label;
    basLibrary::AutoSizeLabel(label, QStringLiteral("short"));
    EXPECT_EQ(label.caption, QStringLiteral("short"));
    EXPECT_EQ(label.height, 240);
    // 25 characters (2500 twips) wrap into 3 rows, the second line takes one: 4 rows and one spare.
    basLibrary::AutoSizeLabel(label, QString(25, u'x') + u'\r' + QStringLiteral("end"));
    EXPECT_EQ(label.height, 5 * 240);
    basLibrary::AutoSizeLabel(label, QStringLiteral("x"));
    EXPECT_EQ(label.height, 5 * 240);

    // Rows break at blanks: four words of six characters take a row each in ten characters'
    // room, not the three that their total width would fill.
    FakeLabel words;
    basLibrary::AutoSizeLabel(words, QStringLiteral("aaaaaa bbbbbb cccccc dddddd"));
    EXPECT_EQ(words.height, 5 * 240);

    FakeLabel large; // measured in the label's own font
    large.font.size = 16;
    basLibrary::AutoSizeLabel(large, QStringLiteral("abcdef"));
    EXPECT_EQ(large.height, 3 * 480);
}

TEST(AutoSizeLabel, SkipsTheStepsThatFail)
{
    ScopedService<UiServices, ScriptedUiServices> ui;
    FakeLabel broken;
    broken.fontFails = true;
    broken.width = 0;
    basLibrary::AutoSizeLabel(broken, QStringLiteral("text"));
    EXPECT_EQ(broken.caption, QStringLiteral("text"));
    EXPECT_EQ(broken.height, 240);
}
