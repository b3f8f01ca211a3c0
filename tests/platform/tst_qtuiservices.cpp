#include "platform/gui/MessageBoxLayout.h"
#include "platform/gui/QtUiServices.h"

#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

using namespace platform;
using platform::gui::MessageBoxLayout;
using platform::gui::QtUiServices;

namespace {

std::vector<int> resultsOf(const MessageBoxLayout& layout)
{
    std::vector<int> results;
    for (const auto& b : layout.buttons)
        results.push_back(b.result);
    return results;
}

} // namespace

TEST(MessageBoxLayout, ButtonsFollowTheOldStyleNumbers)
{
    using namespace msgbox;
    EXPECT_EQ(resultsOf(MessageBoxLayout::fromStyle(OKOnly)), (std::vector<int> {OK}));
    EXPECT_EQ(resultsOf(MessageBoxLayout::fromStyle(OKCancel)), (std::vector<int> {OK, Cancel}));
    EXPECT_EQ(resultsOf(MessageBoxLayout::fromStyle(AbortRetryIgnore)), (std::vector<int> {Abort, Retry, Ignore}));
    EXPECT_EQ(resultsOf(MessageBoxLayout::fromStyle(YesNoCancel | Question)), (std::vector<int> {Yes, No, Cancel}));
    EXPECT_EQ(resultsOf(MessageBoxLayout::fromStyle(YesNo)), (std::vector<int> {Yes, No}));
    EXPECT_EQ(resultsOf(MessageBoxLayout::fromStyle(RetryCancel)), (std::vector<int> {Retry, Cancel}));

    const auto yesNo = MessageBoxLayout::fromStyle(YesNo);
    EXPECT_EQ(yesNo.buttons[0].button, QMessageBox::Yes);
    EXPECT_EQ(yesNo.buttons[1].button, QMessageBox::No);
    EXPECT_EQ(yesNo.resultOf(QMessageBox::No), No);
}

TEST(MessageBoxLayout, IconsAndDefaultButtons)
{
    using namespace msgbox;
    EXPECT_EQ(MessageBoxLayout::fromStyle(OKOnly).icon, QMessageBox::NoIcon);
    EXPECT_EQ(MessageBoxLayout::fromStyle(Critical).icon, QMessageBox::Critical);
    EXPECT_EQ(MessageBoxLayout::fromStyle(YesNo | Question).icon, QMessageBox::Question);
    EXPECT_EQ(MessageBoxLayout::fromStyle(OKOnly | Exclamation).icon, QMessageBox::Warning);
    EXPECT_EQ(MessageBoxLayout::fromStyle(Information).icon, QMessageBox::Information);

    EXPECT_EQ(MessageBoxLayout::fromStyle(YesNoCancel).defaultResult, Yes);
    EXPECT_EQ(MessageBoxLayout::fromStyle(YesNoCancel | DefaultButton2).defaultResult, No);
    EXPECT_EQ(MessageBoxLayout::fromStyle(YesNoCancel | Exclamation | DefaultButton3).defaultResult, Cancel);
    // A box closed without a button of its own answers with the default button.
    EXPECT_EQ(MessageBoxLayout::fromStyle(OKCancel | DefaultButton2).resultOf(QMessageBox::NoButton), Cancel);
}

TEST(MessageBoxLayout, CarriageReturnsBreakLines)
{
    EXPECT_EQ(gui::messageBoxText(QStringLiteral("a\rb\r\nc\nd")), QStringLiteral("a\nb\nc\nd"));
}

TEST(QtUiServices, MeasuresTextInTwipsThatScaleWithTheFont)
{
    QtUiServices ui;
    FontSpec small;
    small.size = 10;
    FontSpec large = small;
    large.size = 20;
    const double one = ui.textWidthTwips(small, QStringLiteral("M"));
    const double four = ui.textWidthTwips(small, QStringLiteral("MMMM"));
    ASSERT_GT(one, 0);
    EXPECT_NEAR(four, 4 * one, 2 * QtUiServices::twipsPerPixel());
    EXPECT_NEAR(ui.textWidthTwips(large, QStringLiteral("MMMM")), 2 * four, four * 0.15);
    // A 10-point line is a little taller than 10 points (200 twips).
    const double height = ui.textHeightTwips(small, QStringLiteral("A"));
    EXPECT_GT(height, 200);
    EXPECT_LT(height, 400);
    EXPECT_EQ(ui.textWidthTwips(small, QString()), 0);
}

TEST(QtUiServices, ScreenSizeIsInTwips)
{
    QtUiServices ui;
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const double perPixel = 1440.0 / screen->logicalDotsPerInchX();
    EXPECT_EQ(ui.screenSizeTwips(), QSize(qRound(screen->size().width() * perPixel),
                                          qRound(screen->size().height() * perPixel)));
    if (screen->logicalDotsPerInchX() == 96) {
        EXPECT_EQ(QtUiServices::twipsPerPixel(), 15);
    }
}

TEST(QtUiServices, BusyPointerIsAStateNotAStack)
{
    {
        QtUiServices ui;
        ui.setBusyPointer(true);
        ui.setBusyPointer(true);
        EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
        ui.setBusyPointer(false);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        ui.setBusyPointer(false);
        ui.setBusyPointer(true);
    } // going away restores the pointer
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(QtUiServices, ClipboardTextRoundTrips)
{
    QtUiServices ui;
    const QString text = QStringLiteral("node\tcopy\r\nline ") + QChar(0x20AC);
    ui.setClipboardText(text);
    EXPECT_EQ(ui.clipboardText(), text);
}
