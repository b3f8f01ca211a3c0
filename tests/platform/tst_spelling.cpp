// Spelling on the installed "en_US" dictionary: the words of a text, the dialog that asks
// about each misspelt one, and the services without a dictionary.
#include "platform/gui/HunspellSpeller.h"
#include "platform/gui/QtUiServices.h"
#include "platform/gui/SpellingDialog.h"
#include "tests/support/ErrorAssertions.h"
#include "tests/support/QStringPrinter.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>
#include <map>

using namespace platform;
using namespace platform::gui;

namespace {

// Acts on the next spelling dialog that opens while it lives.
class DialogAnswer {
public:
    explicit DialogAnswer(std::function<void(SpellingDialog&)> act)
    {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this, act] {
            auto* dialog = qobject_cast<SpellingDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            m_timer.stop();
            act(*dialog);
        });
        m_timer.start();
    }

private:
    QTimer m_timer;
};

void click(SpellingDialog& dialog, const char* button)
{
    dialog.findChild<QPushButton*>(QString::fromLatin1(button))->click();
}

} // namespace

TEST(Spelling, ASampleTextIsCorrectedWordByWord)
{
    const auto dictionary = HunspellSpeller::open(HunspellSpeller::standardFolders());
    ASSERT_TRUE(dictionary) << "the en_US dictionary is not installed";
    const std::map<QString, QString> intended {{"wil", "will"}, {"strat", "start"}, {"batery", "battery"}};
    QStringList asked;
    const auto correct = [&](const Misspelling& misspelling) {
        asked << misspelling.word();
        const QString word = intended.at(misspelling.word());
        EXPECT_TRUE(misspelling.suggestions.contains(word)) << misspelling.suggestions.join(u',').toStdString();
        return SpellingDecision {SpellingDecision::Kind::Change, word};
    };
    const QString sample = QStringLiteral("The engine wil not strat when the batery doesn't turn it, 12 times.");
    const SpellingResult checked = checkWords(sample, *dictionary, correct);
    EXPECT_EQ(checked.text, QStringLiteral("The engine will not start when the battery doesn't turn it, 12 times."));
    EXPECT_FALSE(checked.cancelled);
    EXPECT_EQ(asked, QStringList({"wil", "strat", "batery"}));

    // Ignored words stay; a cancel keeps the changes made before it.
    int answers = 0;
    const auto ignoreThenCancel = [&](const Misspelling&) {
        return SpellingDecision {++answers == 1 ? SpellingDecision::Kind::Ignore : SpellingDecision::Kind::Cancel, {}};
    };
    const SpellingResult stopped = checkWords(QStringLiteral("wil strat batery"), *dictionary, ignoreThenCancel);
    EXPECT_EQ(stopped.text, QStringLiteral("wil strat batery"));
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(answers, 2);
}

TEST(Spelling, TheDialogChangesAWordOrStopsTheCheck)
{
    QtUiServices ui;
    ASSERT_TRUE(ui.spellingAvailable());
    {
        DialogAnswer answer([](SpellingDialog& dialog) {
            auto* suggestions = dialog.findChild<QListWidget*>(QStringLiteral("lstSuggestions"));
            const auto found = suggestions->findItems(QStringLiteral("will"), Qt::MatchExactly);
            ASSERT_FALSE(found.isEmpty());
            suggestions->setCurrentItem(found.front());
            EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("txtChangeTo"))->text(), QStringLiteral("will"));
            click(dialog, "cmdChange");
        });
        const SpellingResult checked = ui.checkSpelling(QStringLiteral("The car wil not start"));
        EXPECT_EQ(checked.text, QStringLiteral("The car will not start"));
        EXPECT_FALSE(checked.cancelled);
    }
    {
        DialogAnswer answer([](SpellingDialog& dialog) { click(dialog, "cmdCancel"); });
        const SpellingResult stopped = ui.checkSpelling(QStringLiteral("Teh car"));
        EXPECT_EQ(stopped.text, QStringLiteral("Teh car"));
        EXPECT_TRUE(stopped.cancelled);
    }
    EXPECT_EQ(ui.checkSpelling(QString()).text, QString()); // nothing to ask about
}

TEST(Spelling, WithoutADictionaryNothingCanBeChecked)
{
    const QTemporaryDir empty;
    EXPECT_FALSE(HunspellSpeller::open({empty.path()}));
    QtUiServices ui({empty.path()});
    EXPECT_FALSE(ui.spellingAvailable());
    EXPECT_EQ(kelvane::test::errorNumberOf([&] { ui.checkSpelling(QStringLiteral("text")); }), kelvane::err::CantCreateObject);
    EXPECT_FALSE(HeadlessUiServices().spellingAvailable());
}
