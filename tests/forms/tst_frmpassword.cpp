#include "forms/PasswordPromptUiServices.h"
#include "forms/frmpassword.h"
#include "model/basGlobal.h"
#include "platform/doubles/ScriptedUiServices.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kelvane;

namespace {

// Restores the shared values the dialog reads and writes.
class PasswordPrompt : public ::testing::Test {
protected:
    void SetUp() override
    {
        basGlobal::EnteredPassword.clear();
        basGlobal::AlignRight = false;
    }
    void TearDown() override { SetUp(); }
};

// Runs `act` on the password dialog once the modal loop shows it.
void whenDialogShows(std::function<void(frmpassword&)> act)
{
    QTimer::singleShot(0, [act = std::move(act)] {
        auto* dialog = dynamic_cast<frmpassword*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
}

} // namespace

TEST_F(PasswordPrompt, LayoutFollowsTheTwipDesign)
{
    frmpassword form;
    EXPECT_EQ(form.size(), QSize(199, 79));
    EXPECT_EQ(form.txtPassword()->geometry(), QRect(7, 12, 185, 19));
    EXPECT_EQ(form.cmdOK()->geometry(), QRect(61, 44, 70, 25));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Password"));
    EXPECT_EQ(form.cmdOK()->text(), QStringLiteral("OK"));
    EXPECT_TRUE(form.cmdOK()->isDefault());
    EXPECT_EQ(form.txtPassword()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(form.txtPassword()->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, form.txtPassword()),
              int(u'*'));
    EXPECT_EQ(form.txtPassword()->nextInFocusChain(), form.cmdOK());
    EXPECT_TRUE(form.txtPassword()->alignment() & Qt::AlignLeft);
    EXPECT_TRUE(form.isModal());
    EXPECT_EQ(form.pos(), QPoint(413, 345)); // centred on the 1024 x 768 screen, in whole pixels

    basGlobal::AlignRight = true;
    frmpassword right;
    EXPECT_TRUE(right.txtPassword()->alignment() & Qt::AlignRight);
}

TEST_F(PasswordPrompt, EnterActsAsOkEscapeDoesNothingAndTheCloseBoxKeepsTheLastText)
{
    frmpassword form;
    form.show();
    QTest::keyClicks(form.txtPassword(), QStringLiteral("Secret"));
    QTest::keyClick(form.txtPassword(), Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
    QTest::keyClick(form.txtPassword(), Qt::Key_Return);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(basGlobal::EnteredPassword, QStringLiteral("Secret"));

    frmpassword closed;
    closed.show();
    QTest::keyClicks(closed.txtPassword(), QStringLiteral("typed"));
    closed.close();
    EXPECT_EQ(closed.result(), QDialog::Rejected);
    EXPECT_EQ(basGlobal::EnteredPassword, QStringLiteral("Secret"));
}

TEST_F(PasswordPrompt, ProgramServicesShowTheDialogForPasswordPromptsOnly)
{
    auto inner = std::make_unique<platform::doubles::ScriptedUiServices>();
    auto* scripted = inner.get();
    scripted->queuePromptAnswer(QStringLiteral("text answer"));
    PasswordPromptUiServices services(std::move(inner));

    whenDialogShows([](frmpassword& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Knowledge Base Password"));
        QTest::keyClicks(dialog.txtPassword(), QStringLiteral("open sesame"));
        QTest::mouseClick(dialog.cmdOK(), Qt::LeftButton);
    });
    EXPECT_EQ(services.prompt(platform::PromptKind::Password, QStringLiteral("Knowledge Base Password"), {}),
              QStringLiteral("open sesame"));

    whenDialogShows([](frmpassword& dialog) { dialog.close(); });
    EXPECT_EQ(services.prompt(platform::PromptKind::Password, QStringLiteral("Editor Password"), {}), std::nullopt);

    EXPECT_EQ(services.prompt(platform::PromptKind::Text, QStringLiteral("Name"), {}), QStringLiteral("text answer"));
    EXPECT_EQ(scripted->prompts.size(), 1u);
}
