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
    void Move(double l, double t) override
    {
        left = l;
        top = t;
    }
    double width = 0, height = 0, left = -1, top = -1;
};

struct FakeLabel : kelvane::CaptionLabel {
    void setCaption(const QString& c) override { caption = c; }
    platform::FontSpec Font() const override
    {
        if (fontFails)
            kelvane::raiseError(kelvane::err::ObjectNotSet);
        return font;
    }
    double Width() const override { return width; }
    double Height() const override { return height; }
    void setHeight(double h) override { height = h; }
    QString caption;
    platform::FontSpec font;
    double width = 1000, height = 240;
    bool fontFails = false;
};

} // namespace

TEST(CentreForm, CentresOnTheScreenEvenWhenLarger)
{
    ScopedService<UiServices, ScriptedUiServices> ui;
    ui->screen = QSize(15360, 11520);
    FakeForm form;
    form.width = 4800;
    form.height = 3600;
    basLibrary::CentreForm(form);
    EXPECT_EQ(form.left, 5280);
    EXPECT_EQ(form.top, 3960);
    form.width = 20000;
    basLibrary::CentreForm(form);
    EXPECT_EQ(form.left, -2320);
}

// The scripted metrics: 100 twips a character and 240 twips a line at 8 points.
TEST(AutoSizeLabel, GrowsByTheWrappedLinesOfEachParagraph)
{
    ScopedService<UiServices, ScriptedUiServices> ui;
    FakeLabel label;
    basLibrary::AutoSizeLabel(label, QStringLiteral("short"));
    EXPECT_EQ(label.caption, QStringLiteral("short"));
    EXPECT_EQ(label.height, 240); // one line fits: unchanged

    // 25 characters (2500 twips) wrap into 3 rows, plus one row for the second paragraph.
    basLibrary::AutoSizeLabel(label, QString(25, u'x') + u'\r' + QStringLiteral("end"));
    EXPECT_EQ(label.height, 4 * 240 + 240);

    basLibrary::AutoSizeLabel(label, QStringLiteral("x")); // never shrinks
    EXPECT_EQ(label.height, 1200);
}

TEST(AutoSizeLabel, MeasuresWithTheLabelsFontAndIgnoresFailures)
{
    ScopedService<UiServices, ScriptedUiServices> ui;
    FakeLabel label;
    label.font.size = 16; // twice the metrics
    basLibrary::AutoSizeLabel(label, QStringLiteral("abcdef")); // 1200 twips: two rows of 480
    EXPECT_EQ(label.height, 2 * 480 + 480);

    FakeLabel broken;
    broken.fontFails = true;
    broken.width = 0;
    basLibrary::AutoSizeLabel(broken, QStringLiteral("text"));
    EXPECT_EQ(broken.caption, QStringLiteral("text"));
    EXPECT_EQ(broken.height, 240);
}
