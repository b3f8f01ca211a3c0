#include "NetworkBuilder.h"

#include "model/AbstractProgressBar.h"
#include "model/FontProperties.h"
#include "model/Property.h"
#include "model/basGlobal.h"
#include "model/clsControl.h"
#include "model/doubles/RecordingHostDisplay.h"
#include "network/DocumentOutput.h"
#include "platform/TextEncoding.h"
#include "platform/doubles/RecordingCanvas.h"
#include "platform/doubles/ScriptedUiServices.h"
#include "tests/support/HeldAllocations.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <limits>
#include <map>

using namespace kelvane;

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing file>");
}

QString golden(const char* name) { return QString::fromUtf8(fileBytes(test::dataPath(S("xml/") + S(name)))); }

QString scratchFile(const QString& name) { return test::scratchFolder() + u'/' + name; }

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

std::shared_ptr<TextLabel> label(const QString& html)
{
    auto made = std::make_shared<TextLabel>();
    made->HTML = html;
    return made;
}

// A node element as a document holds it, with optional extra children.
QString node(const char* guid, int layer, int index, const QString& extra = {})
{
    return S("<node nodeguid='%1'><layerindex>%2</layerindex><nodeindex>%3</nodeindex>%4</node>\r\n")
        .arg(S(guid)).arg(layer).arg(index).arg(extra);
}

QString linkTo(const char* target) { return S("<link nodeguidref='%1'></link>").arg(S(target)); }

const QString kNetworkG = S("<network networkguid='G'></network>\r\n");

class RecordingProgressBar : public AbstractProgressBar {
public:
    int Value() const override { return values.empty() ? 0 : values.back(); }
    void setValue(int value) override { values.push_back(value); }
    std::vector<int> values;
};

// The knowledge base of the golden document: two layers and a node of every kind.
std::shared_ptr<clsNetwork> fullNetwork()
{
    test::NetworkBuilder build;
    auto& network = *build.network;
    const auto link = [&](const std::shared_ptr<Node>& from, const std::shared_ptr<Node>& to) {
        EXPECT_TRUE(network.AddLink(from, to));
        return from->Links().Item(from->Links().Count());
    };
    network.setGUID(S("0100000000000000000000000000000000000000NET1"));
    network.NetworkType = 1;
    auto name = label(S("Weather <A href='http://example.org/w'>guide</A> &lt;beta&gt;"));
    name->Font()->Name = S("Times New Roman");
    name->Font()->Size = 14;
    name->Font()->Bold = true;
    name->ForeColor = 0x000080;
    network.setName(name);
    network.setKBDescription(label(S("Tells whether to take an umbrella.")));
    network.setScenarioName(S("Monday"));
    network.Description = S("A wet day\rin town");
    network.Picture = S("splash.png");
    network.setAuthor(label(S("A. N. Author")));
    network.setCopyright(label(S("(c) 2026 the authors")));
    network.Password = S("Rain");
    network.EditorPassword = S("ed");
    network.PollingInterval = 30;
    network.SupportURL = S("http://example.org/help?a=1&b=2");
    network.AutoAnswer = true;
    network.ShowAnswer = false;
    network.Background = S("paper.png");
    network.BackColour = 0xC0C0C0;
    network.HighlightColour = 0xFFFFFF;
    network.ShadowColour = 0x808080;
    auto property = std::make_shared<Property>();
    property->Name = S("Region");
    property->Value = S("North & West");
    network.Properties.Add(property);
    auto definition = std::make_shared<clsControl>();
    definition->ControlType = S("CheckBox");
    definition->Name = S("Irrelevant");
    definition->Value = definition->Default = S("FALSE");
    network.Controls.Add(definition, definition->Name);

    const auto named = [&](qint16 layer, const char* guidEnd, const char* text) {
        auto made = build.node(layer);
        made->GUID = S("01000000000000000000000000000000000000000000").left(43) + S(guidEnd);
        made->setNameLabel(label(S(text)));
        return made;
    };
    auto clouds = named(1, "A", "Clouds");
    clouds->Question = label(S("Are there clouds?"));
    clouds->Answers.Add(label(S("Yes")));
    clouds->Answers.Add(label(S("No")));
    clouds->setAnswer(1);
    clouds->Justification = label(S("Seen from the window"));
    auto wind = named(1, "B", "Wind");
    wind->Disabled = true;
    wind->Color = 0x00FF00;
    auto outside = named(1, "C", "Forecast");
    outside->setExternal(true);
    outside->ExternalFile = S("..\\kb\\forecast.xml");
    outside->ExternalNetworkGUID = S("0100000000000000000000000000000000000000NET2");
    outside->setExternalGUID(S("0100000000000000000000000000000000000000000X"));
    auto umbrella = named(2, "D", "Umbrella");
    umbrella->Question = label(S("Take an umbrella?"));
    umbrella->Question->Font()->Italic = true;
    umbrella->Reason = label(S("Keeps you dry"));
    umbrella->NoDefault = false;
    umbrella->Default = 0.25;
    umbrella->Plural = umbrella->AutoAnswer = true;
    umbrella->setMoreInfo(S("umbrella.htm"));
    umbrella->setOverridden(true);
    auto fromClouds = link(umbrella, clouds);
    fromClouds->WeightAffirm = 0.9;
    fromClouds->Weight = 0.6;
    fromClouds->WeightDeny = 0.1;
    fromClouds->AlwaysAffirm = true;
    link(umbrella, wind)->AlwaysDeny = true;
    link(umbrella, outside);
    auto cost = std::make_shared<Property>();
    cost->Name = S("Cost");
    cost->Value = S("12");
    umbrella->Properties.Add(cost);

    network.setVersion(S("2026-03-04 05:06:07"));
    network.setDirty(false);
    return build.network;
}

} // namespace

// Every test runs with scripted UI services and the viewer mode off.
class NetworkXML : public ::testing::Test {
protected:
    void SetUp() override
    {
        basGlobal::ApplicationMode = 0;
        basGlobal::EnteredPassword.clear();
    }
    void TearDown() override { SetUp(); }

    std::shared_ptr<clsNetwork> read(QString text, bool expected = true)
    {
        auto network = clsNetwork::create();
        EXPECT_EQ(network->SerializeInXML(text), expected);
        return network;
    }

    platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> ui;
};

TEST_F(NetworkXML, MinimalNetworkText)
{
    auto network = clsNetwork::create();
    network->setGUID(S("0100000000000000000000000000000000000000NET0"));
    EXPECT_EQ(network->SerializeOutXML(), golden("network-minimal.xml"));
}

TEST_F(NetworkXML, FullDocumentIsWrittenExactlyAndOnlyOnce)
{
    auto network = fullNetwork();
    network->setFileName(scratchFile(S("full.xml")));
    ASSERT_TRUE(network->FileSave());
    EXPECT_TRUE(network->Saved);
    const QByteArray written = fileBytes(network->FileName());
    EXPECT_EQ(QString::fromUtf8(written), golden("document-full.xml"));
    if (QString::fromUtf8(written) != golden("document-full.xml"))
        writeFile(test::buildPath(S("document-full.actual.xml")), written); // for a person to compare

    network->setDirty(true);
    EXPECT_FALSE(network->FileSave()); // saved already
    EXPECT_EQ(fileBytes(network->FileName()), written);
    EXPECT_EQ(ui->busyPointer, (std::vector<bool> {true, false}));
}

TEST_F(NetworkXML, ReadingTheFullDocumentRestoresEveryStoredField)
{
    ui->queuePromptAnswer(S("RAIN"));
    ui->queuePromptAnswer(S("Ed"));
    const auto network = read(golden("document-full.xml"));
    ASSERT_EQ(ui->prompts.size(), 2u);
    EXPECT_EQ(ui->prompts[0].title, S("Knowledge Base Password"));
    EXPECT_EQ(ui->prompts[1].title, S("Editor Password"));
    EXPECT_TRUE(ui->messageBoxes.empty());

    // The writer stores every field, so the same text back means every field came back.
    EXPECT_EQ(network->SerializeOutXML(), fullNetwork()->SerializeOutXML());
    EXPECT_EQ(network->Password, S("Rain"));
    EXPECT_EQ(network->EditorPassword, S("ed"));
    EXPECT_EQ(test::layerNames(*network), (std::vector<std::string> {"Clouds Wind Forecast", "Umbrella"}));
    const auto umbrella = network->Layers().Item(2)->Nodes().Item(1);
    const auto clouds = network->Layers().Item(1)->Nodes().Item(1);
    EXPECT_EQ(umbrella->Links().Item(1)->ConnectionTo, clouds);
    EXPECT_EQ(umbrella->Links().Item(1)->ConnectionFrom.lock(), umbrella);
    EXPECT_EQ(clouds->Parents().Item(1).lock(), umbrella);
    EXPECT_EQ(umbrella->Network.lock(), network);
    EXPECT_EQ(umbrella->NodeNumber, 4);
    EXPECT_EQ(network->cintCounter, 4);
}

TEST_F(NetworkXML, TextsAreUnescapedExactlyOnce)
{
    auto network = clsNetwork::create();
    network->Name()->setText(S("x &lt; y and 1 < 2"));
    network->setScenarioName(S("a &amp; b <i>"));
    network->setVersion(S("<now> & 'then'"));
    auto control = std::make_shared<clsControl>();
    control->ControlType = S("it's \"odd\" <x>");
    network->Controls.Add(control);
    network->setGUID(S("01'<G>"));

    const auto back = read(network->SerializeOutXML());
    EXPECT_EQ(back->Name()->HTML, network->Name()->HTML);
    EXPECT_EQ(back->ScenarioName(), network->ScenarioName());
    EXPECT_EQ(back->Version(), network->Version());
    EXPECT_EQ(back->Controls.Item(1)->ControlType, control->ControlType);
    EXPECT_EQ(back->GUID(), network->GUID());
}

TEST_F(NetworkXML, DocumentsAreUtf8AndOlderWindows1252FilesRead)
{
    auto network = clsNetwork::create();
    network->Name()->setText(S("Caf\u00e9 cr\u00e8me \u20ac"));
    network->setFileName(scratchFile(S("accents.xml")));
    ASSERT_TRUE(network->FileSave());
    const QByteArray bytes = fileBytes(network->FileName());
    EXPECT_TRUE(bytes.contains("Caf\xC3\xA9 cr\xC3\xA8me \xE2\x82\xAC"));
    EXPECT_EQ(read(platform::encoding::decodeStored(bytes))->Name()->HTML, network->Name()->HTML);

    const QByteArray older = fileBytes(test::dataPath(S("xml/document-cp1252.xml")));
    const auto old = read(platform::encoding::decodeStored(older));
    EXPECT_EQ(old->Name()->HTML, S("Caf\u00e9 \u201cquoted\u201d"));
    EXPECT_EQ(test::layerNames(*old), (std::vector<std::string> {"Na\u00efve"}));
}

TEST_F(NetworkXML, MissingSettingsTakeTheirDefaultsAndABadOneIsReported)
{
    const auto plain = read(S("<network networkguid='G'>\r\n</network>"));
    EXPECT_FALSE(plain->AutoAnswer);
    EXPECT_TRUE(plain->ShowAnswer);
    EXPECT_EQ(plain->PollingInterval, 0);
    EXPECT_TRUE(plain->SupportURL.isEmpty());
    EXPECT_TRUE(ui->prompts.empty());

    // An unreadable setting keeps its value; the others and the nodes are still read.
    const auto bad = read(S("<network networkguid='G'><autoanswer>perhaps</autoanswer>"
                            "<pollinginterval>99999</pollinginterval><showanswer>false</showanswer></network>")
                              + node("A", 1, 1),
                          false);
    EXPECT_EQ(bad->PollingInterval, 20);
    EXPECT_FALSE(bad->ShowAnswer);
    EXPECT_EQ(bad->NodeCount(), 1);
}

TEST_F(NetworkXML, DuplicateGUIDsAreKeptLinksGoToTheFirstAndUnresolvedLinksAreDropped)
{
    // The nodes read after thousands of others are kept while the next ones are being read.
    QString thousands;
    constexpr int kFillers = 5000;
    for (int i = 1; i <= kFillers; ++i)
        thousands += node(qPrintable(S("F%1").arg(i)), 3, i, linkTo("A"));
    const auto network = read(kNetworkG + node("A", 1, 1) + thousands + node("A", 1, 2)
                              + node("C", 2, 1, linkTo("A") + linkTo("NOWHERE") + linkTo("F4999")));
    ASSERT_EQ(network->NodeCount(), 3 + kFillers);
    const auto first = network->Layers().Item(1)->Nodes().Item(1);
    const auto second = network->Layers().Item(1)->Nodes().Item(2);
    EXPECT_EQ(first->GUID, S("A"));
    EXPECT_EQ(second->GUID.size(), 44);
    const auto holder = network->Layers().Item(2)->Nodes().Item(1);
    ASSERT_EQ(holder->Links().Count(), 2);
    EXPECT_EQ(holder->Links().Item(1)->ConnectionTo, first);
    EXPECT_EQ(holder->Links().Item(2)->ConnectionTo, network->Layers().Item(3)->Nodes().Item(4999));
    EXPECT_TRUE(second->Parents().isEmpty());
    EXPECT_EQ(first->Parents().Count(), kFillers + 1);
}

TEST_F(NetworkXML, NewGUIDsKeepTheNetworkGUIDAndRelinkThroughOldGUIDs)
{
    auto network = clsNetwork::create();
    network->setNewGUIDs(true);
    const QString own = network->GUID();
    QString text = S("<network type='knowledgebase' networkguid='FILE'></network>") + node("A", 1, 1)
        + node("B", 2, 1, linkTo("A"));
    ASSERT_TRUE(network->SerializeInXML(text));
    EXPECT_EQ(network->GUID(), own);
    EXPECT_EQ(network->NetworkType, 2);
    const auto a = network->Layers().Item(1)->Nodes().Item(1);
    EXPECT_EQ(a->OldGUID, S("A"));
    const auto link = network->Layers().Item(2)->Nodes().Item(1)->Links().Item(1);
    EXPECT_EQ(link->ConnectionTo, a);
    EXPECT_EQ(link->NodeGUIDRef, a->GUID);
}

TEST_F(NetworkXML, EveryNodeIsPlacedByLayerThenIndexThenReadingOrder)
{
    // Layers 1, 1 and 3: an empty layer 2 is made.
    auto network = read(kNetworkG + node("A", 1, 2) + node("B", 3, 1) + node("C", 1, 1));
    EXPECT_EQ(test::layerIndexes(*network), (std::vector<int> {1, 2, 3}));
    EXPECT_EQ(network->Layers().Item(1)->Nodes().Item(1)->GUID, S("C"));
    EXPECT_TRUE(network->Layers().Item(2)->Nodes().isEmpty());

    // Layers 1 and 3 only: both placed. Places close up; equal places keep reading order; a
    // node without a readable layer index goes to layer 1.
    QString text = kNetworkG + node("A", 1, 7) + node("B", 3, 4) + node("D", 3, 4)
        + S("<node nodeguid='E'><layerindex></layerindex><nodeindex>0</nodeindex></node>");
    network = clsNetwork::create();
    ASSERT_TRUE(network->SerializeInXML(text));
    EXPECT_TRUE(text.isEmpty()); // every node element was cut out
    EXPECT_EQ(network->NodeCount(), 4);
    EXPECT_EQ(network->Layers().Count(), 3);
    EXPECT_EQ(network->Layers().Item(1)->Nodes().Item(1)->GUID, S("E"));
    EXPECT_EQ(network->Layers().Item(3)->Nodes().Item(2)->GUID, S("D"));

    // No more layers are made than nodes were read: numbers beyond that close up, in order.
    network = read(kNetworkG + node("A", 1, 1) + node("B", 32767, 1) + node("C", 40, 1));
    EXPECT_EQ(test::layerIndexes(*network), (std::vector<int> {1, 2, 3}));
    EXPECT_EQ(network->Layers().Item(2)->Nodes().Item(1)->GUID, S("C"));
    EXPECT_EQ(network->Layers().Item(3)->Nodes().Item(1)->GUID, S("B"));
    network = read(kNetworkG + node("A", 2, 1) + node("B", 9, 1) + node("C", 9, 2) + node("D", 30000, 1));
    EXPECT_EQ(test::layerIndexes(*network), (std::vector<int> {1, 2, 3, 4}));
    EXPECT_TRUE(network->Layers().Item(1)->Nodes().isEmpty());
    EXPECT_EQ(network->Layers().Item(3)->Nodes().Count(), 2);
    // A layer number beyond 16 bits is not read: the node stands in layer 1.
    network = read(kNetworkG + node("A", std::numeric_limits<qint32>::max(), 1));
    EXPECT_EQ(test::layerIndexes(*network), (std::vector<int> {1}));
    EXPECT_EQ(network->NodeCount(), 1);
}

TEST_F(NetworkXML, PasswordsAreComparedInAnyCaseAndTheViewerSkipsTheEditorOne)
{
    auto network = clsNetwork::create();
    network->Password = S("Open Sesame");
    network->EditorPassword = S("pen");
    const QString text = network->SerializeOutXML();
    EXPECT_FALSE(text.contains(S("Sesame")));

    basGlobal::EnteredPassword = S("left over");
    ui->queuePromptAnswer(S("OPEN sesame"));
    ui->queuePromptAnswer(S("PEN"));
    read(text);
    EXPECT_EQ(ui->busyPointer, (std::vector<bool> {false, true, false, true}));

    basGlobal::ApplicationMode = 1;
    ui->queuePromptAnswer(S("open sesame"));
    EXPECT_TRUE(read(text)->EditorPassword.isEmpty());
    EXPECT_EQ(ui->prompts.size(), 3u);
}

TEST_F(NetworkXML, ARefusedOrClosedPromptDeniesAccessAndReadsNoNode)
{
    auto network = clsNetwork::create();
    network->Name()->setText(S("Secret base"));
    network->Password = S("right");
    const QString text = network->SerializeOutXML() + node("A", 1, 1);

    ui->queuePromptAnswer(S("wrong"));
    RecordingProgressBar progress;
    auto refused = clsNetwork::create();
    QString copy = text;
    EXPECT_FALSE(refused->SerializeInXML(copy, &progress));
    EXPECT_EQ(refused->NodeCount(), 0);
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, S("Access denied"));
    EXPECT_EQ(ui->messageBoxes[0].title, S("Secret base"));
    EXPECT_EQ(ui->messageBoxes[0].style, platform::msgbox::Critical);
    EXPECT_EQ(progress.values, std::vector<int> {0});

    // Closing the prompt refuses, even when the password typed last time was right.
    basGlobal::EnteredPassword = S("right");
    ui->queuePromptAnswer(std::nullopt);
    EXPECT_EQ(read(text, false)->NodeCount(), 0);
    EXPECT_EQ(ui->messageBoxes.size(), 2u);
}

TEST_F(NetworkXML, ProgressRunsUpAndEndsAtZeroEvenForAnEmptyText)
{
    QString text = fullNetwork()->SerializeOutXML().replace(S("<key>"), S("<x>")).replace(S("<subkey>"), S("<y>"));
    RecordingProgressBar progress;
    ASSERT_TRUE(clsNetwork::create()->SerializeInXML(text, &progress));
    EXPECT_TRUE(std::is_sorted(progress.values.begin(), progress.values.end() - 1));
    EXPECT_GT(progress.values.end()[-2], 90);
    EXPECT_EQ(progress.values.back(), 0);

    QString empty;
    EXPECT_TRUE(clsNetwork::create()->SerializeInXML(empty, &progress));
}

TEST_F(NetworkXML, AFailedOrRefusedSaveLeavesThePreviousDocument)
{
    QDir(test::scratchFolder()).mkpath(S("kept"));
    auto network = fullNetwork();
    network->setFileName(scratchFile(S("kept/kept.xml")));
    ASSERT_TRUE(network->FileSave());
    const QByteArray before = fileBytes(network->FileName());

    network->Saved = false;
    network->setDirty(true);
    auto& nodes = network->Layers().Item(1)->Nodes();
    nodes.Add(nullptr); // a node that cannot be written
    EXPECT_FALSE(network->FileSave());
    nodes.Remove(nodes.Count());
    EXPECT_EQ(fileBytes(network->FileName()), before);
    EXPECT_TRUE(network->Dirty());
    EXPECT_EQ(ui->busyPointer.back(), false);
    EXPECT_EQ(QDir(scratchFile(S("kept"))).entryList(QDir::Files | QDir::Hidden), QStringList {S("kept.xml")});

    QFile::setPermissions(network->FileName(), QFile::ReadOwner);
    EXPECT_FALSE(network->FileSave());
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, network->FileName() + S(" is read only"));
    EXPECT_EQ(ui->messageBoxes[0].style, platform::msgbox::Exclamation);
    EXPECT_EQ(fileBytes(network->FileName()), before);
}

TEST_F(NetworkXML, SeveralNetworksShareOneDocumentOutput)
{
    const QString path = scratchFile(S("two.xml"));
    auto first = clsNetwork::create();
    first->Name()->setText(S("First"));
    {
        DocumentOutput output(path);
        ASSERT_TRUE(output.open());
        output.writeDocumentStart();
        ASSERT_TRUE(first->FileSave(&output));
        ASSERT_TRUE(clsNetwork::create()->FileSave(&output));
        output.writeDocumentEnd();
        EXPECT_FALSE(QFile::exists(path)); // nothing replaced before the commit
        ASSERT_TRUE(output.commit());
    }
    const QString text = QString::fromUtf8(fileBytes(path));
    EXPECT_EQ(text.count(S("<kelvanenetwork>")), 2);
    EXPECT_EQ(read(text)->Name()->HTML, S("First"));
}

TEST_F(NetworkXML, PicturesThatExistGoToTheHostDisplay)
{
    const QString splash = scratchFile(S("splash.png"));
    writeFile(splash, "picture");
    auto host = std::make_shared<doubles::RecordingHostDisplay>();
    auto network = clsNetwork::create();
    network->ParentDisplay = host;
    QString text = S("<network networkguid='G'><splash><image>%1</image></splash><displayscheme><background>"
                     "<image>missing.png</image></background></displayscheme></network>").arg(splash);
    ASSERT_TRUE(network->SerializeInXML(text));
    ASSERT_EQ(host->splashes.size(), 1u);
    EXPECT_EQ(host->splashes[0].filePath, splash);
    EXPECT_TRUE(host->backgrounds.empty()); // no such file
}

TEST_F(NetworkXML, DocumentOfMoreNodesThanSixteenBitsCountIsReadWhole)
{
    auto network = clsNetwork::create();
    for (qint32 layer = 1; layer <= 40; ++layer) {
        for (int i = 0; i < 1000; ++i)
            ASSERT_TRUE(network->AddNode(layer));
    }
    network->setFileName(scratchFile(S("large.xml")));
    ASSERT_TRUE(network->FileSave());
    const auto back = read(QString::fromUtf8(fileBytes(network->FileName())));
    EXPECT_EQ(back->NodeCount(), 40000);
    EXPECT_EQ(back->cintCounter, 40000);
    const auto last = back->Layers().Item(40)->Nodes().Item(1000);
    EXPECT_EQ(last->NodeNumber, 40000);
    EXPECT_EQ(last->Name()->Text(), S("Node 40000"));
    EXPECT_EQ(last->Index(), 1000);
}

TEST_F(NetworkXML, ANodeReadDrawnAndSavedHoldsLittleMoreThanItself)
{
    // Nodes as the program writes them, without texts or fonts of their own: a document of
    // hundreds of thousands of them must fit in memory.
    constexpr int kNodes = 2000;
    auto written = clsNetwork::create();
    for (int i = 0; i < kNodes; ++i)
        ASSERT_TRUE(written->AddNode(1));
    QString text = written->SerializeOutXML();
    written.reset();

    const test::HeldAllocations before = test::heldAllocations();
    auto network = clsNetwork::create();
    ASSERT_TRUE(network->SerializeInXML(text));
    const auto perNode = [&] {
        const test::HeldAllocations now = test::heldAllocations();
        return std::pair {double(now.objects - before.objects) / kNodes, double(now.bytes - before.bytes) / kNodes};
    };
    const auto [objects, bytes] = perNode();
    EXPECT_LT(objects, 2.05); // the node, and its four texts together
    EXPECT_LT(bytes, 950);
    {
        platform::doubles::RecordingCanvas canvas;
        ASSERT_TRUE(network->DrawNetwork(canvas));
    }
    ASSERT_FALSE(network->SerializeOutXML().isEmpty());
    // Drawing and saving make no font for a name that has the defaults.
    EXPECT_LT(perNode().first, objects + 0.05);
}

TEST_F(NetworkXML, EachSavedNodeIndexIsThePlaceTheNodeGivesItself)
{
    test::NetworkBuilder build({"A B C D", "E F"});
    build.links("E>A F>D");
    // A node that shares its number with an earlier one of its layer takes that one's place,
    // as Index() gives it; so do the places of a moved layer order.
    build["C"]->NodeNumber = build["A"]->NodeNumber;
    auto& nodes = build.network->Layers().Item(1)->Nodes();
    const auto b = nodes.Item(2);
    nodes.Remove(2);
    nodes.Add(b);

    const QString text = build.network->SerializeOutXML();
    QList<qint32> written;
    for (qsizetype at = text.indexOf(S("<nodeindex>")); at >= 0; at = text.indexOf(S("<nodeindex>"), at + 1))
        written.append(text.mid(at + 11, text.indexOf(u'<', at + 11) - at - 11).toInt());
    QList<qint32> places;
    for (const auto& layer : build.network->Layers()) {
        for (const auto& held : layer->Nodes())
            places.append(held->Index());
    }
    EXPECT_EQ(places, (QList<qint32> {1, 1, 3, 4, 1, 2})); // A, C, D, B; E, F
    EXPECT_EQ(written, places);
}

TEST_F(NetworkXML, ALargeNetworkIsWrittenInUtf8WithoutSplittingACharacter)
{
    // A character beyond 16 bits stands across the point where the text is cut for writing.
    const QString beyond = QString::fromUcs4(U"\U0001F600");
    const QString text = QString(1024 * 1024 - 1, u'a') + beyond + S("é") + QString(1024 * 1024, u'b') + beyond;
    const QString path = scratchFile(S("large-text.xml"));
    {
        DocumentOutput output(path);
        ASSERT_TRUE(output.open());
        output.writeNetworkEntry(text);
        ASSERT_TRUE(output.commit());
    }
    EXPECT_EQ(fileBytes(path), S("<kelvanenetwork>\r\n%1\r\n</kelvanenetwork>\r\n").arg(text).toUtf8());
}

TEST_F(NetworkXML, AReadNetworkOfThousandsOfNodesIsSavedAgainByteForByte)
{
    auto network = clsNetwork::create();
    constexpr int kLayers = 5;
    constexpr int kWidth = 600;
    for (qint32 layer = 1; layer <= kLayers; ++layer) {
        for (int i = 0; i < kWidth; ++i) {
            ASSERT_TRUE(network->AddNode(layer));
            if (layer == 1)
                continue;
            const auto& nodes = network->Layers().Item(layer)->Nodes();
            const auto& below = network->Layers().Item(layer - 1)->Nodes();
            // Links reach nodes read before the holder and, through the layer above, after it.
            for (int k = 0; k < 3; ++k)
                ASSERT_TRUE(network->AddLink(nodes.Item(nodes.Count()), below.Item((i + k * 7) % kWidth + 1)));
            if (layer < kLayers && i % 50 == 0)
                ASSERT_TRUE(network->AddLink(below.Item(i + 3), nodes.Item(nodes.Count())));
        }
    }
    const QString written = network->SerializeOutXML();
    const auto back = read(written);
    EXPECT_EQ(back->NodeCount(), kLayers * kWidth);
    EXPECT_EQ(back->SerializeOutXML(), written);
    const auto top = back->Layers().Item(kLayers)->Nodes().Item(1);
    ASSERT_EQ(top->Links().Count(), 3);
    EXPECT_EQ(top->Links().Item(1)->ConnectionTo, back->Layers().Item(kLayers - 1)->Nodes().Item(1));
    EXPECT_EQ(back->Layers().Item(kLayers - 1)->Nodes().Item(1)->Parents().Count(), 3 + 1);

    // Every node's parents are the holders of the links to it, in the order they were read.
    std::map<const Node*, std::vector<const Node*>> holders;
    for (const auto& layer : back->Layers()) {
        for (const auto& holder : layer->Nodes()) {
            for (const auto& link : holder->Links())
                holders[link->ConnectionTo.get()].push_back(holder.get());
        }
    }
    for (const auto& layer : back->Layers()) {
        for (const auto& node : layer->Nodes()) {
            std::vector<const Node*> parents;
            for (const auto& parent : node->Parents())
                parents.push_back(parent.lock().get());
            ASSERT_EQ(parents, holders[node.get()]);
        }
    }
}

TEST_F(NetworkXML, FieldErrorsOfThousandsOfNodesAreReportedInDocumentOrder)
{
    // Nodes are read several thousand at a time; their errors still come in the order of the
    // document, and every node is kept.
    basLibrary::DebugMode = true;
    const auto quiet = qScopeGuard([] { basLibrary::DebugMode = false; });
    const auto overflowing = [](int index) {
        return S("<node nodeguid='N%1'><layerindex>1</layerindex><nodeindex>99999999999</nodeindex></node>\r\n").arg(index);
    };
    QString text = kNetworkG;
    constexpr int kNodes = 10000;
    for (int i = 1; i <= kNodes; ++i) {
        if (i == 2 || i == 9000)
            text += overflowing(i);
        else if (i == 5)
            text += node("N5", 1, i, S("<plural>perhaps</plural>"));
        else
            text += node(qPrintable(S("N%1").arg(i)), 1, i);
    }
    EXPECT_EQ(read(text)->NodeCount(), kNodes);
    std::vector<int> numbers;
    for (const auto& box : ui->messageBoxes) {
        const qsizetype open = box.text.indexOf(u'[');
        numbers.push_back(box.text.mid(open + 1, box.text.indexOf(u']') - open - 1).toInt());
    }
    EXPECT_EQ(numbers, (std::vector<int> {err::Overflow, err::TypeMismatch, err::Overflow}));
}
