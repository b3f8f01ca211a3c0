#include "model/FontProperties.h"
#include "model/basGlobal.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

QString withNuls(const char* text)
{
    QString result = QString::fromLatin1(text);
    result.replace(u'~', QChar(u'\0'));
    return result;
}

} // namespace

TEST(ModelValues, ANewFontIsTheProgramDefaultAtEightPoints)
{
    FontProperties font;
    EXPECT_EQ(font.Name, QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(font.Size, 8);
    EXPECT_FALSE(font.Bold || font.Italic || font.Underline || font.Strikethru);

    basGlobal::DefaultFontName = QStringLiteral("Tahoma");
    EXPECT_EQ(FontProperties().Name, QStringLiteral("Tahoma"));
    basGlobal::DefaultFontName = QStringLiteral("MS Sans Serif");
}

TEST(ModelValues, StripStreamHeaderDropsTheHeaderOnlyBeforeALateNulPair)
{
    EXPECT_EQ(basGlobal::StripStreamHeader(withNuls("abcd~~xy~z")), QStringLiteral("xyz"));
    EXPECT_EQ(basGlobal::StripStreamHeader(withNuls("abc~~de")), QStringLiteral("de"));
    EXPECT_EQ(basGlobal::StripStreamHeader(withNuls("a~~bc")), QStringLiteral("abc"));
    EXPECT_EQ(basGlobal::StripStreamHeader(withNuls("ab~cd~e")), QStringLiteral("abcde"));
    EXPECT_EQ(basGlobal::StripStreamHeader(QString()), QString());
}

TEST(ModelValues, WideStreamToTextKeepsEverySecondCharacterFromTheThird)
{
    EXPECT_EQ(basGlobal::WideStreamToText(withNuls("LLLLh~e~l~l~o~~~x~")), QStringLiteral("ello"));
    EXPECT_EQ(basGlobal::WideStreamToText(QStringLiteral("abc")), QStringLiteral("c"));
    EXPECT_EQ(basGlobal::WideStreamToText(QStringLiteral("abcd")), QString());
}

TEST(ModelValues, TrimAtNullCutsBeforeTheFirstNul)
{
    EXPECT_EQ(basGlobal::TrimAtNull(withNuls("12~34")), QStringLiteral("12"));
    EXPECT_EQ(basGlobal::TrimAtNull(QStringLiteral("1234")), QStringLiteral("1234"));
}
