// Picking up label styles and answer options from one node and applying them to another, and
// the server updates of the edits of one node.
#include "PointerTestSupport.h"

#include "diagram/PickupNodes.h"
#include "diagram/doubles/ScriptedServerSession.h"
#include "model/FontProperties.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

class Pickup : public PointerTest {
protected:
    Pickup()
    {
        PickupNodes::FontPickupNode.reset();
        PickupNodes::AnswerPickupNode.reset();
        useNetworks({build.network});
    }
    ~Pickup() override
    {
        PickupNodes::FontPickupNode.reset();
        PickupNodes::AnswerPickupNode.reset();
    }

    void on(const char* name, QAction* item)
    {
        control->NodeFound = build[name];
        item->trigger();
    }
    static std::shared_ptr<TextLabel> label(const QString& html, qint32 colour = 0)
    {
        auto made = std::make_shared<TextLabel>();
        made->setText(html);
        made->ForeColor = colour;
        return made;
    }

    NetworkBuilder build {{"A B C"}};
};

} // namespace

TEST_F(Pickup, FontsOfOneNodeDressTheNameQuestionAndReasonOfAnother)
{
    auto& a = *build["A"];
    a.Name()->ForeColor = 255;
    a.Name()->Font()->Name = QStringLiteral("Arial");
    a.Name()->Font()->Bold = true;
    a.Question->Font()->Italic = true;
    a.Question->Font()->Underline = true;
    a.Question->Font()->Strikethru = true;
    a.Reason->ForeColor = 0xFF0000;
    auto& b = *build["B"];
    b.Name()->Font()->Strikethru = true;
    b.Justification->Font()->Size = 20;
    b.Answers.Add(label(QStringLiteral("Yes"), 77));
    build.network->setDirty(false);

    choose(build["A"], control->mnuNodeProperties);
    EXPECT_FALSE(control->mnuNodeApplyFonts->isEnabled());
    on("A", control->mnuNodePickupFont);
    EXPECT_EQ(snapshots(), 0);
    EXPECT_FALSE(build.network->Dirty());
    choose(build["B"], control->mnuNodeProperties);
    EXPECT_TRUE(control->mnuNodeApplyFonts->isEnabled());

    on("B", control->mnuNodeApplyFonts);
    EXPECT_EQ(b.Name()->ForeColor, 255);
    EXPECT_EQ(b.Name()->Font()->Name, QStringLiteral("Arial"));
    EXPECT_TRUE(b.Name()->Font()->Bold);
    EXPECT_TRUE(b.Name()->Font()->Strikethru); // its own
    EXPECT_TRUE(b.Question->Font()->Italic && b.Question->Font()->Underline);
    EXPECT_FALSE(b.Question->Font()->Strikethru);
    EXPECT_EQ(b.Reason->ForeColor, 0xFF0000);
    EXPECT_EQ(b.Justification->Font()->Size, 20);
    EXPECT_EQ(b.Answers.Item(1)->ForeColor, 77);
    EXPECT_EQ(snapshots(), 1);
    EXPECT_TRUE(build.network->Dirty());

    // A second pick-up replaces the first.
    on("C", control->mnuNodePickupFont);
    on("B", control->mnuNodeApplyFonts);
    EXPECT_FALSE(b.Name()->Font()->Bold);
    EXPECT_EQ(b.Reason->ForeColor, 0);
    EXPECT_TRUE(reportedErrors().isEmpty());
}

TEST_F(Pickup, AnswersOfOneNodeReplaceThoseOfAnotherWithoutTheirLinks)
{
    auto& a = *build["A"];
    a.Answers.Add(label(QStringLiteral("Yes")));
    a.Answers.Add(label(QStringLiteral("<A href='x'>Maybe</A> so"), 99));
    a.Answers.Item(2)->Font()->Italic = true;
    a.Answers.Add(label(QStringLiteral("No")));
    for (int i = 0; i < 5; ++i)
        build["B"]->Answers.Add(label(QStringLiteral("old")));

    on("A", control->mnuPickUpAnswers);
    EXPECT_EQ(snapshots(), 0);
    on("B", control->mnuNodeApplyAnswers);
    const auto& answers = build["B"]->Answers;
    ASSERT_EQ(answers.Count(), 3);
    EXPECT_EQ(answers.Item(1)->HTML, QStringLiteral("Yes"));
    EXPECT_EQ(answers.Item(2)->HTML, QStringLiteral("Maybe so"));
    EXPECT_EQ(answers.Item(2)->ForeColor, 99);
    EXPECT_TRUE(answers.Item(2)->Font()->Italic);
    EXPECT_NE(answers.Item(1), PickupNodes::AnswerPickupNode->Answers.Item(1)); // a copy per node
    EXPECT_EQ(snapshots(), 1);

    on("C", control->mnuPickUpAnswers); // a node without answers
    on("B", control->mnuNodeApplyAnswers);
    EXPECT_TRUE(build["B"]->Answers.isEmpty());
    EXPECT_EQ(build["A"]->Answers.Count(), 3);
    EXPECT_TRUE(reportedErrors().isEmpty());
}

TEST_F(Pickup, EditsOfOneNodeAreSentToTheServerWhileOnline)
{
    const auto session = std::make_shared<doubles::ScriptedServerSession>();
    control->setServerSession(session);
    control->Connected = true;
    ui->queueColourAnswer(0x00FF00);
    on("A", control->mnuNodeColour);
    on("A", control->mnuNodeDisabled);
    on("A", control->mnuNodePickupFont);
    on("B", control->mnuNodeApplyFonts);
    on("A", control->mnuPickUpAnswers);
    on("B", control->mnuNodeApplyAnswers);
    ASSERT_EQ(session->updates.size(), 4u);
    for (const auto& update : session->updates) {
        EXPECT_EQ(update.guid, build.network->GUID());
        EXPECT_TRUE(update.xml.startsWith(QStringLiteral("<kelvanenetwork>\r\n")));
    }
}
