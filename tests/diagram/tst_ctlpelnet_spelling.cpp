// The network menu's spell check on a scripted spelling service.
#include "PointerTestSupport.h"

#include "diagram/doubles/ScriptedServerSession.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

// A network "Car" with a linked description; layer 1 holds A, with a question that carries
// a link, and B with three answers.
class SpellCheck : public PointerTest {
protected:
    SpellCheck()
    {
        build.network->Name()->setText(QStringLiteral("Car"));
        build.network->KBDescription()->setText(QStringLiteral("See the <A href='manual.html'>manual</A>."));
        build["A"]->Name()->setText(QStringLiteral("Batery"));
        build["A"]->Question->setText(QStringLiteral("Is the <A href='b.html'>battery</A> flat?"));
        for (const char* answer : {"Yes", "Mabye", "No"}) {
            auto label = std::make_shared<TextLabel>();
            label->setText(QString::fromLatin1(answer));
            build["B"]->Answers.Add(label);
        }
        build.network->setDirty(false);
        useNetworks({build.network});
    }

    void queue(const char* text, bool cancelled = false)
    {
        ui->queueSpellingResult({QString::fromLatin1(text), cancelled});
    }
    QStringList completionMessages() const
    {
        QStringList shown;
        for (const auto& box : ui->messageBoxes) {
            if (box.text == QStringLiteral("Spell Check is complete"))
                shown << box.title + QString::number(box.style);
        }
        return shown;
    }

    NetworkBuilder build {{"A B"}};
};

} // namespace

TEST_F(SpellCheck, EveryTextIsCheckedAndOnlyThoseTheCheckChangedAreWritten)
{
    const auto session = std::make_shared<doubles::ScriptedServerSession>();
    control->setServerSession(session);
    control->Connected = true;
    queue("Car");
    queue("See the manual.");
    queue("Battery");
    queue("Is the battery flat?");
    queue("");          // A's reason, empty, stays empty
    queue("B");
    queue("");          // B's question
    queue("   ");       // B's reason: a text cleared by the check keeps its value
    build["B"]->Reason->setText(QStringLiteral("Because"));
    queue("Yes");
    queue("Maybe");

    choose(QPointF(5900, 4400), control->mnuNetwork(), control->mnuNetworkSpellCheck);
    EXPECT_EQ(ui->spellingChecks,
              QStringList({"Car", "See the manual.", "Batery", "Is the battery flat?", "", "B", "", "Because", "Yes",
                           "Mabye", "No"}));
    EXPECT_EQ(build["A"]->Name()->HTML, QStringLiteral("Battery"));
    EXPECT_EQ(build.network->KBDescription()->HTML, QStringLiteral("See the <A href='manual.html'>manual</A>."));
    EXPECT_EQ(build["A"]->Question->HTML, QStringLiteral("Is the <A href='b.html'>battery</A> flat?"));
    EXPECT_EQ(build["B"]->Reason->HTML, QStringLiteral("Because"));
    EXPECT_EQ(build["B"]->Answers.Item(2)->HTML, QStringLiteral("Maybe"));
    EXPECT_EQ(form.progressBar.values, std::vector<int>({0, 50, 100, 0}));
    EXPECT_EQ(completionMessages(), QStringList({platform::applicationTitle() + QString::number(platform::msgbox::Information)}));
    EXPECT_EQ(snapshots(), 1);
    EXPECT_TRUE(build.network->Dirty());
    EXPECT_EQ(session->updates.size(), 1u);
    EXPECT_TRUE(reportedErrors().isEmpty());
}

TEST_F(SpellCheck, ACorrectedTextKeepsItsLinks)
{
    build.network->KBDescription()->setText(QStringLiteral("The <A href='tank.html'>tank</A> is emptty."));
    build["A"]->Question->setText(QStringLiteral("Is the <A href='b.html'>batery</A> flat?"));
    queue("Car");
    queue("The tank is empty.");
    queue("Batery");
    queue("Is the battery flat?");
    control->mnuNetworkSpellCheck->trigger();
    EXPECT_EQ(ui->spellingChecks.mid(1, 3), QStringList({"The tank is emptty.", "Batery", "Is the batery flat?"}));
    EXPECT_EQ(build.network->KBDescription()->HTML, QStringLiteral("The <A href='tank.html'>tank</A> is empty."));
    EXPECT_EQ(build["A"]->Question->HTML, QStringLiteral("Is the <A href='b.html'>battery</A> flat?"));
    EXPECT_EQ(build["A"]->Question->URIs().Count(), 1);
}

TEST_F(SpellCheck, AStoppedCheckKeepsItsChangesAndIsNotComplete)
{
    queue("Car");
    queue("See the manual.");
    queue("Battery", true);
    control->mnuNetworkSpellCheck->trigger();
    EXPECT_EQ(ui->spellingChecks.size(), 3);
    EXPECT_EQ(build["A"]->Name()->HTML, QStringLiteral("Battery"));
    EXPECT_EQ(build["B"]->Answers.Item(2)->HTML, QStringLiteral("Mabye"));
    EXPECT_TRUE(completionMessages().isEmpty());
    EXPECT_EQ(form.progressBar.values, std::vector<int>({0, 50, 0}));
}

TEST_F(SpellCheck, WithoutADictionaryTheItemIsNotOffered)
{
    choose(QPointF(5900, 4400), control->mnuNetwork(), control->mnuNetworkProperties);
    EXPECT_TRUE(control->mnuNetworkSpellCheck->isEnabled());
    ui->spellingInstalled = false;
    choose(QPointF(5900, 4400), control->mnuNetwork(), control->mnuNetworkProperties);
    EXPECT_FALSE(control->mnuNetworkSpellCheck->isEnabled());

    control->mnuNetworkSpellCheck->trigger(); // disabled: nothing happens
    EXPECT_EQ(snapshots(), 0);
    control->mnuNetworkSpellCheck->setEnabled(true);
    control->mnuNetworkSpellCheck->trigger();
    EXPECT_EQ(reportedErrors().filter(QStringLiteral("mnuNetworkSpellCheck_Click")).size(), 1);
    EXPECT_TRUE(completionMessages().isEmpty());
}
