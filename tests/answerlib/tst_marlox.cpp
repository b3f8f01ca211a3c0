// The answer-controls library as other programs meet it: registered through its own entry,
// its controls created by class name and driven by dispatch identifier, their events heard.
#include "answerlib/MarloxResources.h"
#include "answerlib/MarloxTypeLibrary.h"
#include "model/basGlobal.h"
#include "platform/automation/Activator.h"
#include "platform/automation/EventConnection.h"
#include "platform/automation/ServerLibrary.h"
#include "platform/doubles/MemoryRegistry.h"
#include "tests/support/ErrorAssertions.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestEnvironment.h"

#include <QLibrary>
#include <gtest/gtest.h>

using namespace platform::automation;
using kelvane::Variant;
using kelvane::test::errorNumberOf;
using platform::HKEY_CLASSES_ROOT;
namespace marlox = kelvane::marlox;

namespace {

constexpr DispId kEnabled = 0x68030000;
constexpr DispId kFuzzyValue = 0x6803000A;
constexpr DispId kOptionIndex = 0x6803000B;
constexpr DispId kOptions = 0x6803000C;
constexpr DispId kLabel = 0x40030000;

QString libraryPath() { return kelvane::test::buildPath(QStringLiteral("answerlib/libmarlox.so")); }

HResult canUnloadNow()
{
    using Entry = HResult (*)();
    const auto entry = reinterpret_cast<Entry>(QLibrary(libraryPath()).resolve("DllCanUnloadNow"));
    return entry ? entry() : hresult::Fail;
}

// Counts the events it hears by identifier.
class CountingSink : public EventSink {
public:
    QHash<DispId, int> heard;
    void onEvent(DispId id, const QString&, QList<Variant>&) override { ++heard[id]; }
};

class MarloxLibrary : public ::testing::Test {
protected:
    void SetUp() override { registerServerLibrary(libraryPath()); }
    void TearDown() override { unregisterServerLibrary(libraryPath()); }

    QString classKey(const char* className) const
    {
        return QStringLiteral("CLSID\\") + registryText(marlox::typeLibrary().findClass(QLatin1String(className))->id);
    }

    platform::ScopedService<platform::Registry, platform::doubles::MemoryRegistry> registry;
    platform::ScopedService<Activator> activator;
};

} // namespace

TEST(MarloxTypeLibrary, DescribesTwoControlsWithFixedDispatchIds)
{
    const TypeLibraryDescription library = marlox::typeLibrary();
    EXPECT_EQ(library.name, QStringLiteral("Marlox"));
    EXPECT_EQ(library.helpString, QStringLiteral("Marlox"));
    EXPECT_EQ(library.versionText(), QStringLiteral("2.0"));

    const InterfaceDescription* fuzzy = library.findInterface(QStringLiteral("_Fuzzy"));
    ASSERT_NE(fuzzy, nullptr);
    EXPECT_TRUE(fuzzy->dual && fuzzy->hidden && fuzzy->nonExtensible);
    QStringList order;
    for (const MemberDescription& member : fuzzy->members)
        order << QStringLiteral("%1=%2").arg(member.name).arg(quint32(member.id), 0, 16);
    EXPECT_EQ(order.join(u' '),
              QStringLiteral("Label=40030000 Options=6803000c OptionIndex=6803000b Value=6803000a Enabled=68030009 "
                             "Caption=68030008 FontBold=68030007 FontItalic=68030006 FontName=68030005 FontSize=68030004 "
                             "FontStrikethru=68030003 FontTransparent=68030002 FontUnderline=68030001 ForeColor=68030000"));
    EXPECT_EQ(fuzzy->member(QStringLiteral("FontSize"))->helpString,
              QStringLiteral("Specifies the size (in points) of the font that appears in each row for the given level."));
    EXPECT_TRUE(fuzzy->member(QStringLiteral("Caption"))->helpString.isEmpty());

    const InterfaceDescription* slider = library.findInterface(QStringLiteral("_Slider"));
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->member(DefaultMember)->name, QStringLiteral("Value"));
    EXPECT_EQ(slider->member(kEnabled)->name, QStringLiteral("Enabled"));
    EXPECT_EQ(library.findInterface(QStringLiteral("__Slider"))->member(1)->name, QStringLiteral("ValueChange"));
}

TEST(MarloxTypeLibrary, ResourcesHoldTheInterfaceIdsPicturesAndVersion)
{
    const TypeLibraryDescription library = marlox::typeLibrary();
    EXPECT_EQ(marlox::identifierResource(QStringLiteral("_IID_SLIDER")), library.findInterface(QStringLiteral("_Slider"))->id);
    EXPECT_EQ(marlox::identifierResource(QStringLiteral("_SRCIID_FUZZY")), library.findInterface(QStringLiteral("__Fuzzy"))->id);
    EXPECT_TRUE(marlox::identifierResource(QStringLiteral("_IID_CIRCLE")).isNull());

    for (int number : {marlox::kSliderToolboxImage, marlox::kFuzzyToolboxImage}) {
        const QImage picture = marlox::toolboxImage(number);
        EXPECT_EQ(picture.size(), QSize(16, 15)) << number;
        EXPECT_LE(picture.colorCount(), 16) << number;
    }
    EXPECT_TRUE(marlox::toolboxImage(101).isNull());
    EXPECT_EQ(marlox::versionInfo().fileVersion, QStringLiteral("1.00"));
    EXPECT_TRUE(marlox::versionInfo().selfRegistering);
}

TEST_F(MarloxLibrary, RegistersBothClassesAndRemovesThemAgain)
{
    const auto value = [this](const QString& key) { return registry->queryValue(HKEY_CLASSES_ROOT, key, {}); };
    EXPECT_EQ(value(QStringLiteral("Marlox.Slider\\CLSID")), QStringLiteral("{5AEA9B3C-DCBE-4BBB-A210-69EA887BBFA4}"));
    EXPECT_EQ(value(QStringLiteral("Marlox.Fuzzy\\CLSID")), QStringLiteral("{14EDCA70-009F-4DAA-95C8-4E0B582D184F}"));
    const auto server = value(classKey("Fuzzy") + QStringLiteral("\\InprocServer32"));
    ASSERT_TRUE(server);
    EXPECT_TRUE(server->endsWith(QStringLiteral("libmarlox.so")));
    EXPECT_EQ(value(classKey("Fuzzy") + QStringLiteral("\\ToolboxBitmap32")), *server + QStringLiteral(", 30001"));
    EXPECT_TRUE(registry->keyExists(HKEY_CLASSES_ROOT, classKey("Slider") + QStringLiteral("\\Control")));
    EXPECT_EQ(value(QStringLiteral("TypeLib\\{BD652D2F-9D1C-4361-A214-1FF112751EC3}\\2.0")), QStringLiteral("Marlox"));

    unregisterServerLibrary(libraryPath());
    EXPECT_EQ(registry->keys(), QStringList());
    EXPECT_EQ(errorNumberOf([&] { activator->createObject(QStringLiteral("Marlox.Slider")); }),
              kelvane::err::CantCreateObject);
}

TEST_F(MarloxLibrary, SliderAnswersByDispatchIdAndRaisesValueChange)
{
    {
        const DispatchObject slider = activator->createObject(QStringLiteral("Marlox.Slider"));
        EXPECT_EQ(canUnloadNow(), hresult::False);
        auto sink = std::make_shared<CountingSink>();
        const auto connection = slider.advise(sink);

        slider.put(DefaultMember, 0.25);
        EXPECT_EQ(slider.get(QStringLiteral("Value")), Variant(0.25));
        EXPECT_EQ(sink->heard.value(1), 2);
        slider.put(DefaultMember, qint32(3));
        EXPECT_EQ(slider.get(DefaultMember), Variant(1.0));

        slider.put(kEnabled, false);
        EXPECT_EQ(slider.get(QStringLiteral("enabled")), Variant(false));
    }
    EXPECT_EQ(canUnloadNow(), hresult::Ok);
}

TEST_F(MarloxLibrary, FuzzyAnswersByDispatchIdAndKeepsItsOwnDefaultFont)
{
    const DispatchObject fuzzy = activator->createObject(QStringLiteral("Marlox.Fuzzy"));
    auto sink = std::make_shared<CountingSink>();
    const auto connection = fuzzy.advise(sink);
    EXPECT_EQ(fuzzy.get(kFuzzyValue), Variant(0.5));
    EXPECT_EQ(fuzzy.get(kLabel), Variant(false));

    fuzzy.put(kOptions, qint16(3));
    fuzzy.put(kOptionIndex, qint16(3));
    EXPECT_EQ(fuzzy.get(kFuzzyValue), Variant(1.0));
    EXPECT_EQ(sink->heard.value(1), 3);
    fuzzy.put(QStringLiteral("Caption"), QStringLiteral("Certainly"));
    EXPECT_EQ(fuzzy.get(0x68030008), Variant(QStringLiteral("Certainly")));

    // The program's default font name is not the library's.
    basGlobal::DefaultFontName = QStringLiteral("Program Default");
    fuzzy.put(QStringLiteral("FontName"), QString());
    basGlobal::DefaultFontName = QStringLiteral("MS Sans Serif");
    EXPECT_EQ(fuzzy.get(0x68030005), Variant(QStringLiteral("MS Sans Serif")));

    fuzzy.put(kOptions, qint16(2)); // option 3 is gone, the index stays
    EXPECT_EQ(errorNumberOf([&] { fuzzy.put(QStringLiteral("FontBold"), true); }),
              kelvane::err::ControlArrayElementMissing);
}
