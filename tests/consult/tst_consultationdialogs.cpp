// The preconditions, question and answer dialogs: their layouts, what they show and what
// their buttons store. A picture of each dialog is written to the build folder.
#include "tests/consult/ConsultTestSupport.h"

#include "answercontrols/Twips.h"
#include "model/FontProperties.h"
#include "model/Link.h"
#include "platform/gui/QtUiServices.h"
#include "platform/doubles/MemoryRegistry.h"
#include "platform/doubles/RecordingProcessLauncher.h"
#include "tests/support/ShownText.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QWindow>

using namespace kelvane;
using namespace kelvane::test;

namespace {

class ConsultationDialogs : public ConsultationTest {
protected:
    // Writes the dialog's picture as pictures/<name>.png in the build folder.
    static void picture(QWidget& dialog, const QString& name)
    {
        QDir().mkpath(buildPath(QStringLiteral("pictures")));
        EXPECT_TRUE(dialog.grab().save(buildPath(QStringLiteral("pictures/%1.png").arg(name))));
    }
};

double top(const QWidget* widget) { return twips::Top(*widget); }
double height(const QWidget* widget) { return twips::Height(*widget); }

// Texts measured in the fonts the screen really has, as the program measures them.
class MeasuringUiServices : public YieldingUiServices {
public:
    double textWidthTwips(const platform::FontDescription& font, const QString& text) override
    {
        return m_screen.textWidthTwips(font, text);
    }
    double textHeightTwips(const platform::FontDescription& font, const QString& text) override
    {
        return m_screen.textHeightTwips(font, text);
    }

private:
    platform::gui::QtUiServices m_screen;
};

// A text of whole words about `length` characters long.
QString sentenceOf(int length)
{
    static const QStringList words {QStringLiteral("battery"), QStringLiteral("terminals"), QStringLiteral("clean"),
                                    QStringLiteral("and"), QStringLiteral("tight"), QStringLiteral("when"),
                                    QStringLiteral("the"), QStringLiteral("engine"), QStringLiteral("turns"),
                                    QStringLiteral("slowly")};
    QString text;
    for (int i = 0; text.size() < length; ++i)
        text += words[i % words.size()] + u' ';
    return text.trimmed() + u'?';
}

// True when the box shows its whole text without scrolling.
bool showsWhole(QTextEdit& box)
{
    QCoreApplication::processEvents();
    return box.verticalScrollBar()->maximum() == 0
        && box.document()->size().height() <= box.viewport()->height();
}

} // namespace

TEST_F(ConsultationDialogs, TheQuestionDialogStacksItsFramesAndStartsAtTheNodesAnswer)
{
    click(E);
    frmQuestion* plain = showing<frmQuestion>();
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(height(plain->fraQuestion()), 915);
    EXPECT_EQ(height(plain->fraInformation()), 975);
    EXPECT_FALSE(plain->fraControls()->isVisible());
    EXPECT_EQ(top(plain->fraJustification()), 5205);
    EXPECT_EQ(plain->Height(), 6660);
    EXPECT_EQ(plain->Fuzzy1()->Options(), 2);
    EXPECT_EQ(plain->Fuzzy1()->Value(), 0.5); // no default
    EXPECT_FALSE(plain->cmdLink()->isVisible());
    EXPECT_EQ(plain->cmdOK()->text(), QStringLiteral("OK"));
    plain->cmdCancel_Click();

    // A question too long for its box; a check box, a caption and a text box; a default.
    C->Question->setText(QString(200, u'x'));
    C->NoDefault = false;
    C->Default = 0.8;
    defineControl(*C, QStringLiteral("boolean"), QStringLiteral("Seen"), QString());
    defineControl(*C, QStringLiteral("string"), QStringLiteral("Where"), QStringLiteral("garage"));
    E->setAnswer(1);
    click(C);
    frmQuestion* full = showing<frmQuestion>();
    ASSERT_NE(full, nullptr);
    EXPECT_GT(height(full->lblQuestion()), 795);
    EXPECT_EQ(top(full->fraInformation()), top(full->fraQuestion()) + height(full->fraQuestion()) + 45);
    EXPECT_EQ(twips::Left(*full->controlInputs().chkControl(1)), 900);
    EXPECT_EQ(top(full->controlInputs().chkControl(1)), 150);
    EXPECT_EQ(top(full->controlInputs().lblControl(1)), 450);
    EXPECT_EQ(top(full->controlInputs().txtControl(1)), 750);
    EXPECT_EQ(height(full->fraControls()), 1050);
    EXPECT_EQ(top(full->fraJustification()), top(full->fraControls()) + 1050 + 45);
    EXPECT_EQ(full->Height(), top(full->fraJustification()) + 1005 + 450);
    EXPECT_NEAR(full->Fuzzy1()->Value(), 0.2, 1e-9);
    picture(*full, QStringLiteral("frmQuestion"));
    full->cmdCancel_Click();

    C->setAnswer(1);
    click(C);
    EXPECT_EQ(showing<frmQuestion>()->Fuzzy1()->Value(), 0.0);
}

TEST_F(ConsultationDialogs, TheNodesControlsAreFilledAndStoredByOk)
{
    defineControl(*E, QStringLiteral("boolean"), QStringLiteral("Empty"), QString());
    defineControl(*E, QStringLiteral("boolean"), QStringLiteral("Damaged"), QStringLiteral("yes"));
    defineControl(*E, QStringLiteral("boolean"), QStringLiteral("On"), QStringLiteral("-1"));
    defineControl(*E, QStringLiteral("string"), QStringLiteral("Note"), QStringLiteral("old"));
    defineControl(*E, QStringLiteral("slider"), QStringLiteral("Other"), QStringLiteral("7"));

    // Cancelled: an empty Boolean value is stored as false all the same.
    click(E);
    frmQuestion* question = showing<frmQuestion>();
    const NodeControlInputs& inputs = question->controlInputs();
    EXPECT_FALSE(inputs.chkControl(1)->isChecked());
    EXPECT_FALSE(inputs.chkControl(2)->isChecked()); // a value that is no Boolean reads as false
    EXPECT_TRUE(inputs.chkControl(3)->isChecked());
    EXPECT_EQ(inputs.txtControl(1)->text(), QStringLiteral("old"));
    EXPECT_EQ(question->Fuzzy1()->Options(), 2); // the dialog was built to the end
    question->cmdCancel_Click();
    EXPECT_EQ(E->Controls().Item(1)->Value, QStringLiteral("false"));

    click(E);
    question = showing<frmQuestion>();
    question->controlInputs().chkControl(2)->setChecked(true);
    question->controlInputs().txtControl(1)->setText(QStringLiteral("new"));
    answer(*question, 1);
    EXPECT_EQ(E->Controls().Item(2)->Value, QStringLiteral("true"));
    EXPECT_EQ(E->Controls().Item(3)->Value, QStringLiteral("true"));
    EXPECT_EQ(E->Controls().Item(4)->Value, QStringLiteral("new"));
    EXPECT_EQ(E->Controls().Item(5)->Value, QStringLiteral("7"));
}

TEST_F(ConsultationDialogs, MoreInfoIsTestedAndOpenedAtTheSamePlaceWithTheDesktopOpener)
{
    platform::ScopedService<platform::Registry, platform::doubles::MemoryRegistry> registry;
    platform::ScopedService<platform::ProcessLauncher, platform::doubles::RecordingProcessLauncher> launcher;
    registry->set(platform::HKEY_CLASSES_ROOT, QStringLiteral(".pdf"), {}, QStringLiteral("pdffile"));
    registry->set(platform::HKEY_CLASSES_ROOT, QStringLiteral("pdffile\\shell\\open\\command"), {},
                  QStringLiteral("viewer \"%1\""));
    const QString folder = scratchFolder() + QStringLiteral("/kb");
    QDir().mkpath(folder + QStringLiteral("/docs"));
    QFile manual(folder + QStringLiteral("/docs/manual.v2.pdf"));
    ASSERT_TRUE(manual.open(QIODevice::WriteOnly));
    manual.close();
    net.network->setFileName(folder + QStringLiteral("/base.xml"));

    const auto shown = [&](const QString& target) {
        E->setMoreInfo(target);
        click(E);
        frmQuestion* question = showing<frmQuestion>();
        const bool visible = question->cmdLink()->isVisible();
        if (visible)
            question->cmdLink_Click();
        question->cmdCancel_Click();
        return visible;
    };
    EXPECT_TRUE(shown(QStringLiteral("docs\\manual.v2.pdf"))); // relative, by the extension after the second dot
    EXPECT_FALSE(shown(QStringLiteral("/nowhere/manual.pdf")));
    EXPECT_FALSE(shown(QString()));
    EXPECT_FALSE(shown(QStringLiteral("http://kelvane.example/a b"))); // no web command registered
    registry->set(platform::HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Classes\\http\\shell\\open\\command"), {},
                  QStringLiteral("browser %1"));
    EXPECT_TRUE(shown(QStringLiteral("http://kelvane.example/a b")));

    ASSERT_EQ(launcher->launches.size(), 2u);
    EXPECT_EQ(launcher->launches[0].program, QStringLiteral("xdg-open"));
    EXPECT_EQ(launcher->launches[0].arguments, QStringList {folder + QStringLiteral("/docs/manual.v2.pdf")});
    EXPECT_EQ(launcher->launches[1].program, QStringLiteral("xdg-open"));
    EXPECT_EQ(launcher->launches[1].arguments, QStringList {QStringLiteral("http://kelvane.example/a%20b")});
    EXPECT_TRUE(ui->messageBoxes.empty());

    // Without the desktop's opener the user is told, and the dialog stays.
    launcher->missingPrograms << QStringLiteral("xdg-open");
    E->setMoreInfo(QStringLiteral("docs\\manual.v2.pdf"));
    click(E);
    frmQuestion* question = showing<frmQuestion>();
    ASSERT_NE(question, nullptr);
    QTest::mouseClick(question->cmdLink(), Qt::LeftButton);
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, folder + QStringLiteral("/docs/manual.v2.pdf could not be opened."));
    EXPECT_EQ(ui->messageBoxes[0].style, platform::msgbox::Exclamation);
    EXPECT_TRUE(question->isVisible());
}

TEST_F(ConsultationDialogs, EnterBreaksTheJustificationsLineAndIsOkEverywhereElseOnce)
{
    click(E);
    frmQuestion* question = showing<frmQuestion>();
    question->txtJustification()->setFocus();
    QTest::keyClicks(question->txtJustification(), QStringLiteral("first"));
    QTest::keyClick(question->txtJustification(), Qt::Key_Return);
    QTest::keyClicks(question->txtJustification(), QStringLiteral("second"));
    EXPECT_EQ(question->txtJustification()->toPlainText(), QStringLiteral("first\nsecond"));
    EXPECT_TRUE(question->isVisible());

    OptionButton& yes = question->Fuzzy1()->optOption(1);
    QTest::keyClick(&yes, Qt::Key_Return);
    EXPECT_EQ(E->Justification->Text(), QStringLiteral("first\r\nsecond"));
    EXPECT_TRUE(E->Answered);
    EXPECT_EQ(events().count(QStringLiteral("AfterQuestion E")), 1);
}

TEST_F(ConsultationDialogs, ResetClearsTheAnswerAndGoesBackWithoutReasoning)
{
    E->setAnswer(1);
    click(E);
    showing<frmQuestion>()->cmdReset_Click();
    EXPECT_FALSE(E->Answered);
    EXPECT_TRUE(net.network->Dirty());
    EXPECT_TRUE(main.Enabled());
    EXPECT_EQ(events().count(), 2); // BeforeQuestion, AfterQuestion

    click(C);
    frmPreconditions* preconditions = showing<frmPreconditions>();
    preconditions->lstPreconditions()->setCurrentItem(preconditions->lstPreconditions()->topLevelItem(0));
    preconditions->lstPreconditions_DblClick();
    showing<frmQuestion>()->cmdReset_Click();
    EXPECT_EQ(showing<frmPreconditions>(), preconditions);
    EXPECT_FALSE(main.Enabled());
}

TEST_F(ConsultationDialogs, TheAnswerDialogGivesOneLinePerPullingLinkAndGrowsWithThem)
{
    NetworkBuilder wide({"A B D Z", "K"});
    wide.links("K>A K>B K>D K>Z");
    for (const char* name : {"A", "B", "D", "Z", "K"})
        setAnswerTexts(*wide[name], {"Yes", "No"});
    for (const auto& each : wide["K"]->Links()) {
        each->WeightDeny = 1;
        each->WeightAffirm = 1;
    }
    wide["A"]->setAnswer(1);
    wide["B"]->Plural = true;
    wide["B"]->setAnswer(0);
    wide["D"]->setAnswer(1);
    wide["D"]->setEnabled(false); // counted, but given no line
    wide["Z"]->setAnswer(0.5);    // a link at one half gives no line
    wide["K"]->setAnswer(1);
    showNetworks(display(), {wide.network});

    basKelva::HandleAnswerEvents(wide["K"], nullptr);
    frmAnswer* verdict = showing<frmAnswer>();
    ASSERT_NE(verdict, nullptr);
    EXPECT_EQ(verdict->Label4()->text(), QStringLiteral("The knowledge base disagrees"));
    ASSERT_EQ(verdict->lineCount(), 2);
    EXPECT_EQ(verdict->lblReason(1)->text(), QStringLiteral("Although A is Yes"));
    EXPECT_EQ(verdict->lblReason(2)->text(), QStringLiteral("Because B are No"));
    const double lineHeight = height(verdict->lblReason(0));
    EXPECT_EQ(top(verdict->lblReason(2)), top(verdict->lblReason(0)) + 2 * lineHeight);
    EXPECT_EQ(top(verdict->cmdReject(2)), top(verdict->lblReason(2)));
    EXPECT_NEAR(verdict->Height(), top(verdict->lblReason(2)) + 2.25 * lineHeight, 15);
    picture(*verdict, QStringLiteral("frmAnswer"));
    verdict->cmdAgree_Click();

    basGlobal::AlignRight = true;
    basKelva::HandleAnswerEvents(wide["K"], nullptr);
    verdict = showing<frmAnswer>();
    EXPECT_EQ(verdict->lblReason(2)->text(), QStringLiteral("Because  B No"));
    EXPECT_TRUE(verdict->lblReason(2)->alignment() & Qt::AlignRight);
}

TEST_F(ConsultationDialogs, AContradictionIsOneLineWithoutAReject)
{
    NetworkBuilder forced({"P Q", "K"});
    forced.links("K>P K>Q");
    for (const char* name : {"P", "Q", "K"})
        setAnswerTexts(*forced[name], {"Yes", "No"});
    Link& toP = *forced["K"]->Links().Item(1);
    Link& toQ = *forced["K"]->Links().Item(2);
    toP.AlwaysAffirm = toQ.AlwaysAffirm = true;
    toP.WeightAffirm = 1; // P true forces K true
    toQ.WeightAffirm = 0; // Q true forces K false
    forced["P"]->setAnswer(1);
    forced["Q"]->setAnswer(1);
    forced["K"]->setAnswer(0);
    showNetworks(display(), {forced.network});
    ui->messageBoxes.clear();

    basKelva::HandleAnswerEvents(forced["K"], nullptr);
    frmAnswer* verdict = showing<frmAnswer>();
    ASSERT_EQ(verdict->lineCount(), 1);
    EXPECT_EQ(verdict->lblReason(1)->text(), QStringLiteral("There is a contradiction because P is Yes and Q is Yes"));
    EXPECT_FALSE(verdict->cmdReject(1)->isVisibleTo(verdict));
    EXPECT_EQ(verdict->cmdReject(1)->text(), QStringLiteral("&Reject"));
    ASSERT_EQ(ui->messageBoxes.size(), 1u); // the calculation's own message first
    EXPECT_TRUE(ui->messageBoxes[0].text.startsWith(QStringLiteral("There is a contradiction because ")));
}

TEST_F(ConsultationDialogs, ThePreconditionsListShowsEachStateAndLeavesDisabledQuestionsOut)
{
    NetworkBuilder many({"R", "A B D F G H", "K"});
    many.links("D>R K>A K>B K>D K>F K>G K>H");
    defineControl(*many["R"], QStringLiteral("string"), QStringLiteral("NEED INFO"), QStringLiteral("true"));
    defineControl(*many["B"], QStringLiteral("boolean"), QStringLiteral("NEED INFO"), QStringLiteral("TRUE"));
    many["A"]->setEnabled(false);
    many["F"]->Answered = true;
    many["H"]->NoDefault = false;
    many["K"]->Question->setText(QStringLiteral("Does the knowledge base know?"));
    showNetworks(display(), {many.network});

    ASSERT_TRUE(click(many["K"]));
    frmPreconditions* preconditions = showing<frmPreconditions>();
    ASSERT_NE(preconditions, nullptr);
    QStringList lines;
    for (int row = 0; row < preconditions->lstPreconditions()->topLevelItemCount(); ++row)
        lines << preconditions->lineText(row);
    EXPECT_EQ(lines, QStringList({QStringLiteral("B\\tNeed Info"), QStringLiteral("D\\tNeed Info"),
                                  QStringLiteral("F\\tAnswered"), QStringLiteral("G\\tUnanswered"),
                                  QStringLiteral("H\\tDefault")}));
    EXPECT_FALSE(preconditions->cmdProceed()->isEnabled());
    EXPECT_EQ(preconditions->cmdProceed()->text(), QStringLiteral("&Proceed"));
    EXPECT_EQ(preconditions->cmdNavigate()->text(), QStringLiteral("Close"));
    std::vector<int> rows;
    for (const auto& each : many["K"]->Links())
        rows.push_back(each->ListIndex);
    EXPECT_EQ(rows, (std::vector<int> {-1, 0, 1, 2, 3, 4}));
    EXPECT_EQ(preconditions->Height(), top(preconditions->lstPreconditions()) + height(preconditions->lstPreconditions()) + 450);
    picture(*preconditions, QStringLiteral("frmPreconditions"));
}

TEST_F(ConsultationDialogs, LongQuestionsAndReasonsShowWholeAndTheButtonsMoveWithThem)
{
    platform::ScopedService<platform::UiServices, MeasuringUiServices> measuring;
    for (const int size : {8, 12}) {
        for (const int length : {200, 235, 270}) {
            E->Question->setText(sentenceOf(length));
            E->Reason->setText(sentenceOf(length - 20));
            E->Question->Font()->Size = qint16(size);
            E->Reason->Font()->Size = qint16(size);
            click(E);
            frmQuestion* question = showing<frmQuestion>();
            ASSERT_NE(question, nullptr);
            const std::string why = std::to_string(length) + " characters at " + std::to_string(size) + " points";
            EXPECT_TRUE(showsWhole(*question->lblQuestion())) << why;
            EXPECT_TRUE(showsWhole(*question->lblReason())) << why;
            // Reset stays beside the answers, clear of the information frame and its button.
            EXPECT_EQ(top(question->cmdReset()), top(question->fraAnswers()) + 15) << why;
            EXPECT_FALSE(question->cmdReset()->geometry().intersects(question->fraInformation()->geometry())) << why;
            if (size == 12 && length == 270)
                picture(*question, QStringLiteral("frmQuestion-long"));
            question->cmdCancel_Click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
}

TEST_F(ConsultationDialogs, TheQuestionAndItsReasonAreWrittenInTheirOwnFontsAndColours)
{
    const auto font = E->Question->Font();
    font->Name = QStringLiteral("DejaVu Serif");
    font->Size = 14;
    font->Bold = true;
    font->Italic = true;
    font->Underline = true;
    E->Question->ForeColor = 0x0000FF; // red
    E->Reason->setText(QStringLiteral("Because."));
    E->Reason->Font()->Size = 10;
    E->Reason->ForeColor = 0x800000; // navy
    click(E);
    frmQuestion* question = showing<frmQuestion>();
    ASSERT_NE(question, nullptr);
    const auto formatOf = [](QTextEdit* box) {
        QTextCursor cursor(box->document());
        cursor.setPosition(1);
        return cursor.charFormat();
    };
    const QTextCharFormat asked = formatOf(question->lblQuestion());
    EXPECT_EQ(QFontInfo(asked.font()).family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(asked.font().pointSize(), 14);
    EXPECT_TRUE(asked.font().bold() && asked.font().italic() && asked.font().underline());
    EXPECT_EQ(asked.foreground().color(), QColor(255, 0, 0));
    const QTextCharFormat reason = formatOf(question->lblReason());
    EXPECT_EQ(reason.font().pointSize(), 10);
    EXPECT_FALSE(reason.font().bold());
    EXPECT_EQ(reason.foreground().color(), QColor(0, 0, 128));
    picture(*question, QStringLiteral("frmQuestion-fonts"));
}

TEST_F(ConsultationDialogs, ALongContradictionLineGrowsAndTheDialogWithIt)
{
    NetworkBuilder forced({"P Q", "K"});
    forced.links("K>P K>Q");
    forced["P"]->Name()->setText(QStringLiteral("The battery terminals are corroded and loose at both posts"));
    forced["Q"]->Name()->setText(QStringLiteral("The starter motor turns the engine over at its usual speed"));
    for (const char* name : {"P", "Q", "K"})
        setAnswerTexts(*forced[name], {"Yes", "No"});
    Link& toP = *forced["K"]->Links().Item(1);
    Link& toQ = *forced["K"]->Links().Item(2);
    toP.AlwaysAffirm = toQ.AlwaysAffirm = true;
    toP.WeightAffirm = 1;
    toQ.WeightAffirm = 0;
    forced["P"]->setAnswer(1);
    forced["Q"]->setAnswer(1);
    forced["K"]->setAnswer(0);
    showNetworks(display(), {forced.network});

    basKelva::HandleAnswerEvents(forced["K"], nullptr);
    frmAnswer* verdict = showing<frmAnswer>();
    ASSERT_NE(verdict, nullptr);
    ASSERT_EQ(verdict->lineCount(), 1);
    QLabel* line = verdict->lblReason(1);
    EXPECT_GE(line->height(), line->heightForWidth(line->width()));
    EXPECT_GT(line->height(), verdict->lblReason(0)->height());
    EXPECT_LE(line->geometry().bottom(), verdict->height());
    picture(*verdict, QStringLiteral("frmAnswer-contradiction"));
}

// A knowledge base's texts are plain text beyond their own link markup: a tag or an entity of
// the toolkit's rich text is shown as it is written, as is a window caption's changed mark.
TEST_F(ConsultationDialogs, TheKnowledgeBasesTextsShowAsTheyAreWritten)
{
    const QString asked = QStringLiteral("<b>Is</b> the battery &amp; flat?");
    C->Question->setText(asked);
    C->Name()->setText(QStringLiteral("Flat [*] battery"));
    E->Name()->setText(QStringLiteral("<i>Lights</i> dim"));
    setAnswerTexts(*E, {"<u>Yes</u>", "No"});
    defineControl(*C, QStringLiteral("string"), QStringLiteral("<b>Where</b>"), QStringLiteral("garage"));
    E->setAnswer(1);

    click(C);
    frmQuestion* question = showing<frmQuestion>();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->lblQuestion()->toPlainText(), asked);
    EXPECT_EQ(shownText(*question->controlInputs().lblControl(1)), QStringLiteral("<b>Where</b>"));
    EXPECT_EQ(question->windowHandle()->title(), QStringLiteral("Flat [*] battery"));
    answer(*question, 3); // "No", against the evidence

    frmAnswer* verdict = showing<frmAnswer>();
    ASSERT_NE(verdict, nullptr);
    EXPECT_EQ(shownText(*verdict->lblQuestion()), asked);
    EXPECT_EQ(verdict->windowHandle()->title(), QStringLiteral("Flat [*] battery"));
    ASSERT_EQ(verdict->lineCount(), 1);
    EXPECT_EQ(shownText(*verdict->lblReason(1)), QStringLiteral("Because <i>Lights</i> dim is <u>Yes</u>"));
}

TEST_F(ConsultationDialogs, TheAnswerDialogShowsALongQuestionWholeAboveItsAnswers)
{
    platform::ScopedService<platform::UiServices, MeasuringUiServices> measuring;
    C->Question->setText(sentenceOf(232));
    C->Question->Font()->Name = QStringLiteral("DejaVu Serif");
    C->Question->Font()->Size = 14;
    E->setAnswer(1);
    C->setAnswer(0);
    basKelva::HandleAnswerEvents(C, nullptr);
    frmAnswer* verdict = showing<frmAnswer>();
    ASSERT_NE(verdict, nullptr);
    QLabel* question = verdict->lblQuestion();
    EXPECT_GE(question->height(), question->heightForWidth(question->width()));
    for (QWidget* below : {static_cast<QWidget*>(verdict->Label5()), static_cast<QWidget*>(verdict->cmdAgree())})
        EXPECT_GE(below->y(), question->geometry().bottom());
    ASSERT_EQ(verdict->lineCount(), 1);
    EXPECT_GT(verdict->lblReason(1)->y(), verdict->Label4()->geometry().bottom());
    EXPECT_LE(verdict->cmdReject(1)->geometry().bottom(), verdict->height());
    picture(*verdict, QStringLiteral("frmAnswer-long"));
}
