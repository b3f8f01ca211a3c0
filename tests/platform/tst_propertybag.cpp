#include "platform/automation/PropertyBag.h"
#include "tests/platform/Meter.h"
#include "tests/support/ErrorAssertions.h"
#include "tests/support/QStringPrinter.h"

#include <gtest/gtest.h>

using namespace platform::automation;
using kelvane::Variant;
using kelvane::test::Meter;

TEST(PropertyBag, TheTextFormKeepsEveryTypeAndCharacter)
{
    PropertyBag bag;
    bag.write(QStringLiteral("Caption"), QStringLiteral("Say \"yes\"\\no\n\t\u00e9\u0001"));
    bag.write(QStringLiteral("Enabled"), false);
    bag.write(QStringLiteral("Options"), qint16(-5));
    bag.write(QStringLiteral("Port"), qint32(1080));
    bag.write(QStringLiteral("Value"), 0.1);
    const QString text = bag.toText();
    EXPECT_EQ(text, QStringLiteral("Caption = \"Say \\\"yes\\\"\\\\no\\n\\t\u00e9\\u0001\"\n"
                                   "Enabled = False\n"
                                   "Options = -5%\n"
                                   "Port = 1080&\n"
                                   "Value = 0.1#\n"));
    const PropertyBag back = PropertyBag::fromText(text);
    EXPECT_EQ(back.names(), bag.names());
    for (const QString& name : bag.names()) {
        EXPECT_EQ(back.read(name), bag.read(name)) << name.toStdString();
        EXPECT_EQ(back.read(name).type(), bag.read(name).type()) << name.toStdString();
    }
    EXPECT_EQ(PropertyBag::fromText(QStringLiteral("\r\n  Port=80&\r\n")).read(QStringLiteral("port")), Variant(qint32(80)));
}

TEST(PropertyBag, DefaultsAreNeitherKeptNorLost)
{
    PropertyBag bag;
    bag.write(QStringLiteral("Timeout"), qint16(0), qint16(0));
    bag.write(QStringLiteral("URL"), QString(), QString());
    bag.write(QStringLiteral("Port"), qint16(80), qint32(80));
    bag.write(QStringLiteral("Text"), QStringLiteral("0"), qint16(0));
    EXPECT_EQ(bag.names(), QStringList {QStringLiteral("Text")});
    EXPECT_EQ(bag.read(QStringLiteral("Timeout"), qint16(30)), Variant(qint16(30)));
    bag.write(QStringLiteral("Timeout"), qint16(5), qint16(0));
    EXPECT_EQ(bag.read(QStringLiteral("TIMEOUT"), qint16(30)), Variant(qint16(5)));
    // Writing the default again forgets the saved value.
    bag.write(QStringLiteral("Timeout"), qint16(0), qint16(0));
    EXPECT_FALSE(bag.contains(QStringLiteral("Timeout")));
    EXPECT_EQ(kelvane::test::errorNumberOf([&] { bag.write(QStringLiteral("Self"), Meter::make().toVariant()); }),
              kelvane::err::TypeMismatch);
}

TEST(PropertyBag, DamagedTextIsRefusedWithItsLine)
{
    for (const QString& damaged : {QStringLiteral("Port = 80"), QStringLiteral("= 1%"), QStringLiteral("Caption = \"open"),
                                   QStringLiteral("Caption = \"a\"b\""), QStringLiteral("Options = 70000%"),
                                   QStringLiteral("Caption = \"\\q\""), QStringLiteral("Caption = \"\\u12\""), QStringLiteral("Flag = true")}) {
        try {
            PropertyBag::fromText(QStringLiteral("Value = 1#\n") + damaged);
            ADD_FAILURE() << damaged.toStdString();
        } catch (const kelvane::RuntimeError& e) {
            EXPECT_EQ(e.Number(), kelvane::err::InvalidFileFormat);
            EXPECT_TRUE(e.Description().contains(QStringLiteral("line 2"))) << e.Description().toStdString();
        }
    }
}

TEST(PropertyBag, SavesThroughTheDispatchInterfaceAndLoadsInTheGivenOrder)
{
    const QList<PersistedProperty> persisted {
        {QStringLiteral("Scale"), qint16(1)},
        {QStringLiteral("Enabled"), true},
        {QStringLiteral("Reading"), Variant()},
    };
    const DispatchObject saved = Meter::make();
    saved.put(QStringLiteral("Scale"), qint16(3));
    PropertyBag bag;
    bag.saveFrom(saved, persisted);
    EXPECT_EQ(bag.toText(), QStringLiteral("Scale = 3%\nReading = 0#\n"));

    const DispatchObject loaded = Meter::make();
    PropertyBag::fromText(bag.toText()).loadInto(loaded, persisted);
    const auto& writes = qobject_cast<Meter*>(loaded.object())->writes;
    EXPECT_EQ(writes, (QStringList {QStringLiteral("Scale"), QStringLiteral("Enabled"), QStringLiteral("Reading")}));
    EXPECT_EQ(loaded.get(QStringLiteral("Scale")), Variant(qint16(3)));
}
