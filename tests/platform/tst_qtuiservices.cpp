#include "platform/gui/MessageBoxLayout.h"
#include "platform/gui/PlainText.h"
#include "platform/gui/QtUiServices.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

using namespace platform;
using platform::gui::MessageBoxLayout;

namespace {
std::vector<QMessageBox::StandardButton> qtButtonsOf(int style)
{
    std::vector<QMessageBox::StandardButton> buttons;
    for (const auto& b : MessageBoxLayout::fromStyle(style).buttons) {
        buttons.push_back(b.button);
        EXPECT_EQ(MessageBoxLayout::fromStyle(style).resultOf(b.button), b.result);
    }
    return buttons;
}
} // namespace

TEST(MessageBoxLayout, ButtonsIconsAndDefaultsFollowTheOldStyleNumbers)
{
    using namespace msgbox;
    using B = QMessageBox::StandardButton;
    EXPECT_EQ(qtButtonsOf(OKOnly), std::vector<B>({QMessageBox::Ok}));
    EXPECT_EQ(qtButtonsOf(OKCancel), std::vector<B>({QMessageBox::Ok, QMessageBox::Cancel}));
    EXPECT_EQ(qtButtonsOf(AbortRetryIgnore), std::vector<B>({QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore}));
    EXPECT_EQ(qtButtonsOf(YesNoCancel), std::vector<B>({QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}));
    EXPECT_EQ(qtButtonsOf(YesNo), std::vector<B>({QMessageBox::Yes, QMessageBox::No}));
    EXPECT_EQ(qtButtonsOf(RetryCancel), std::vector<B>({QMessageBox::Retry, QMessageBox::Cancel}));

    EXPECT_EQ(MessageBoxLayout::fromStyle(OKOnly).icon, QMessageBox::NoIcon);
    EXPECT_EQ(MessageBoxLayout::fromStyle(Critical).icon, QMessageBox::Critical);
    EXPECT_EQ(MessageBoxLayout::fromStyle(YesNo | Question).icon, QMessageBox::Question);
    EXPECT_EQ(MessageBoxLayout::fromStyle(Exclamation).icon, QMessageBox::Warning);
    EXPECT_EQ(MessageBoxLayout::fromStyle(Information).icon, QMessageBox::Information);

    EXPECT_EQ(MessageBoxLayout::fromStyle(YesNoCancel).defaultResult, Yes);
    EXPECT_EQ(MessageBoxLayout::fromStyle(YesNoCancel | Exclamation | DefaultButton3).defaultResult, Cancel);
    // Closed without one of its buttons, a box answers with its default button.
    EXPECT_EQ(MessageBoxLayout::fromStyle(OKCancel | DefaultButton2).resultOf(QMessageBox::NoButton), Cancel);
    EXPECT_EQ(gui::messageBoxText(QStringLiteral("a\rb\r\nc\nd")), QStringLiteral("a\nb\nc\nd"));
}

TEST(QtUiServices, MeasuresTextInTwipsThatScaleWithTheFont)
{
    gui::QtUiServices ui;
    FontDescription small;
    small.size = 10;
    FontDescription large = small;
    large.size = 20;
    const double one = ui.textWidthTwips(small, QStringLiteral("M"));
    const double four = ui.textWidthTwips(small, QStringLiteral("MMMM"));
    ASSERT_GT(one, 0);
    EXPECT_NEAR(four, 4 * one, 2 * gui::QtUiServices::twipsPerPixel());
    EXPECT_NEAR(ui.textWidthTwips(large, QStringLiteral("MMMM")), 2 * four, four * 0.15);
    const double height = ui.textHeightTwips(small, QStringLiteral("A")); // a little over 10 points
    EXPECT_GT(height, 200);
    EXPECT_LT(height, 400);
}

TEST(QtUiServices, BusyPointerIsAStateNotAStack)
{
    {
        gui::QtUiServices ui;
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

// A label of a text of any length lays out only what it shows of it, and shows it as a label of
// that much text does.
TEST(PlainLabel, AVeryLongTextShowsItsStartAsAShortOneDoes)
{
    QString sentences;
    while (sentences.size() <= gui::PlainLabel::kLaidOutWhole)
        sentences += QStringLiteral("The battery terminals are <b>clean</b> & tight. ");
    gui::PlainLabel whole(sentences);
    gui::PlainLabel start(sentences.left(800));
    for (gui::PlainLabel* label : {&whole, &start}) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->resize(300, 80);
    }
    gui::PlainLabel none;
    none.resize(whole.size());
    EXPECT_NE(whole.grab().toImage(), none.grab().toImage());
    EXPECT_EQ(whole.grab().toImage(), start.grab().toImage());
}
