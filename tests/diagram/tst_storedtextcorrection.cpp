// Corrections of a label's plain text carried into its stored text with link markup.
#include "diagram/StoredTextCorrection.h"
#include "model/TextLabel.h"
#include "tests/support/QStringPrinter.h"

#include <gtest/gtest.h>

using namespace kelvane;
namespace correction = kelvane::storedtextcorrection;

namespace {

QString plainOf(const QString& stored)
{
    TextLabel label;
    label.setText(stored);
    return label.Text();
}

// The correction applied to a stored text whose plain text is `before`.
QString corrected(const QString& stored, const QString& after)
{
    return correction::Apply(stored, plainOf(stored), after);
}

} // namespace

TEST(StoredTextCorrection, WordsChangeWhereTheyStandAndEveryTagStays)
{
    const QString tank = QStringLiteral("The <A href='tank.html'>tank</A> is emptty.");
    EXPECT_EQ(corrected(tank, QStringLiteral("The tank is empty.")), QStringLiteral("The <A href='tank.html'>tank</A> is empty."));
    // Inside the link text, and several corrections on both sides of the link.
    EXPECT_EQ(corrected(QStringLiteral("Teh <A href='t.html'>tnak</A> is emptty"), QStringLiteral("The tank is empty")),
              QStringLiteral("The <A href='t.html'>tank</A> is empty"));
    // A word that grows at the very end of a link that ends the text stays in the link.
    EXPECT_EQ(corrected(QStringLiteral("See <A href='m.html'>manua</A>"), QStringLiteral("See manual")),
              QStringLiteral("See <A href='m.html'>manual</A>"));
    // Two links, words added and removed between them.
    EXPECT_EQ(corrected(QStringLiteral("<A x>one</A> and and <A y>two</A>"), QStringLiteral("one and also two")),
              QStringLiteral("<A x>one</A> and also <A y>two</A>"));
    // A text without markup is simply the corrected text.
    EXPECT_EQ(corrected(QStringLiteral("Mabye"), QStringLiteral("Maybe")), QStringLiteral("Maybe"));
    EXPECT_EQ(corrected(QString(), QStringLiteral("new")), QStringLiteral("new"));
}

TEST(StoredTextCorrection, EscapesAreKeptAndAddedAngleBracketsAreStoredEscaped)
{
    EXPECT_EQ(corrected(QStringLiteral("a &lt; bee"), QStringLiteral("a < be")), QStringLiteral("a &lt; be"));
    EXPECT_EQ(corrected(QStringLiteral("x <A l>linc</A>"), QStringLiteral("x <link>")),
              QStringLiteral("x <A l>&lt;link&gt;</A>"));
    EXPECT_EQ(plainOf(corrected(QStringLiteral("x <A l>linc</A>"), QStringLiteral("x <link>"))), QStringLiteral("x <link>"));
}

TEST(StoredTextCorrection, AnyCorrectionReadsBackAsTheCorrectedText)
{
    const QString stored = QStringLiteral("Chek the <A href='a.html'>batery &gt; 12 V</A>, then <A b>the</A> strater.");
    for (const QString& after : {QStringLiteral("Check the battery > 12 V, then the starter."), QStringLiteral(""),
                                 QStringLiteral("Entirely different words"), QStringLiteral("Chek the batery")}) {
        const QString result = corrected(stored, after);
        EXPECT_EQ(plainOf(result), after) << result.toStdString();
    }
    EXPECT_EQ(corrected(stored, QStringLiteral("Check the battery > 12 V, then the starter.")),
              QStringLiteral("Check the <A href='a.html'>battery &gt; 12 V</A>, then <A b>the</A> starter."));
}

TEST(StoredTextCorrection, DamagedMarkupStaysAndAStoredTextReadOtherwiseTakesTheCorrectedText)
{
    // A tag left open ends the plain text and stays as it is; an unterminated link runs to
    // the end.
    EXPECT_EQ(corrected(QStringLiteral("ok <A broken"), QStringLiteral("okay")), QStringLiteral("okay<A broken"));
    EXPECT_EQ(corrected(QStringLiteral("a <A x>lnk"), QStringLiteral("a link")), QStringLiteral("a <A x>link"));
    EXPECT_EQ(correction::Apply(QStringLiteral("<A x>one</A>"), QStringLiteral("not its text"), QStringLiteral("two")),
              QStringLiteral("two"));
}
