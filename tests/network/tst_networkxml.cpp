#include "NetworkBuilder.h"

#include "model/AbstractProgressBar.h"
#include "model/FontProperties.h"
#include "model/Property.h"
#include "model/basGlobal.h"
#include "model/clsControl.h"
#include "model/doubles/RecordingHostDisplay.h"
#include "network/DocumentOutput.h"
#include "network/StoredPassword.h"
#include "platform/TextEncoding.h"
#include "platform/doubles/ScriptedUiServices.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

using namespace kelvane;
using platform::doubles::ScriptedUiServices;

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing file>");
}

QString golden(const char* name) { return QString::fromUtf8(fileBytes(test::dataPath(S("xml/") + S(name)))); }

QString scratchFile(const char* name) { return test::scratchFolder() + u'/' + S(name); }

std::shared_ptr<TextLabel> label(const QString& html)
{
    auto made = std::make_shared<TextLabel>();
    made->HTML = html;
    return made;
}

// A node element as a document holds it.
QString nodeElement(const char* guid, int layer, int index, const QString& extra = {})
{
    return S("<node nodeguid='") + S(guid) + S("'><layerindex>") + QString::number(layer) + S("</layerindex><nodeindex>")
        + QString::number(index) + S("</nodeindex>") + extra + S("</node>\r\n");
}

QString linkElement(const char* target)
{
    return S("<link nodeguidref='") + S(target) + S("'><weightaffirm>1</weightaffirm><weight>0.5</weight>"
                                                     "<weightdeny>0</weightdeny><alwaysaffirm>false</alwaysaffirm>"
                                                     "<alwaysdeny>false</alwaysdeny></link>");
}

class RecordingProgressBar : public AbstractProgressBar {
public:
    int Value() const override { return values.empty() ? 0 : values.back(); }
    void setValue(int value) override { values.push_back(value); }
    std::vector<int> values;
};

// Every test runs with scripted UI services and the viewer mode off.
class NetworkXML : public ::testing::Test {
protected:
    void SetUp() override
    {
        basGlobal::ApplicationMode = 0;
        basGlobal::EnteredPassword.clear();
    }
    void TearDown() override { SetUp(); }

    std::shared_ptr<clsNetwork> readNetwork(QString text, bool expected = true)
    {
        auto network = clsNetwork::create();
        EXPECT_EQ(network->SerializeInXML(text), expected);
        return network;
    }

    platform::ScopedService<platform::UiServices, ScriptedUiServices> ui;
};

// The knowledge base of the golden document: two layers and one node of every kind.
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
    definition->Value = S("FALSE");
    definition->Default = S("FALSE");
    network.Controls.Add(definition, definition->Name);

    auto clouds = build.node(1);
    clouds->GUID = S("0100000000000000000000000000000000000000000A");
    clouds->setNameLabel(label(S("Clouds")));
    clouds->Question = label(S("Are there clouds?"));
    clouds->Answers.Add(label(S("Yes")));
    clouds->Answers.Add(label(S("No")));
    clouds->setAnswer(1);
    clouds->Justification = label(S("Seen from the window"));

    auto wind = build.node(1);
    wind->GUID = S("0100000000000000000000000000000000000000000B");
    wind->setNameLabel(label(S("Wind")));
    wind->Disabled = true;
    wind->Color = 0x00FF00;

    auto outside = build.node(1);
    outside->GUID = S("0100000000000000000000000000000000000000000C");
    outside->setNameLabel(label(S("Forecast")));
    outside->setExternal(true);
    outside->ExternalFile = S("..\\kb\\forecast.xml");
    outside->ExternalNetworkGUID = S("0100000000000000000000000000000000000000NET2");
    outside->setExternalGUID(S("0100000000000000000000000000000000000000000X"));

    auto umbrella = build.node(2);
    umbrella->GUID = S("0100000000000000000000000000000000000000000D");
    umbrella->setNameLabel(label(S("Umbrella")));
    umbrella->Question = label(S("Take an umbrella?"));
    umbrella->Question->Font()->Italic = true;
    umbrella->Reason = label(S("Keeps you dry"));
    umbrella->NoDefault = false;
    umbrella->Default = 0.25;
    umbrella->Plural = true;
    umbrella->AutoAnswer = true;
    umbrella->setMoreInfo(S("umbrella.htm"));
    umbrella->setOverridden(true);
    auto fromClouds = link(umbrella, clouds);
    fromClouds->WeightAffirm = 0.9;
    fromClouds->Weight = 0.6;
    fromClouds->WeightDeny = 0.1;
    fromClouds->AlwaysAffirm = true;
    auto fromWind = link(umbrella, wind);
    fromWind->AlwaysDeny = true;
    link(umbrella, outside);
    auto nodeProperty = std::make_shared<Property>();
    nodeProperty->Name = S("Cost");
    nodeProperty->Value = S("12");
    umbrella->Properties.Add(nodeProperty);

    network.setVersion(S("2026-03-04 05:06:07"));
    network.setDirty(false);
    return build.network;
}

} // namespace

TEST_F(NetworkXML, MinimalNetworkText)
{
    auto network = clsNetwork::create();
    network->setGUID(S("0100000000000000000000000000000000000000NET0"));
    EXPECT_EQ(network->SerializeOutXML(), golden("network-minimal.xml"));
}

TEST_F(NetworkXML, FullDocumentMatchesTheGoldenFile)
{
    auto network = fullNetwork();
    network->setFileName(scratchFile("full.xml"));
    ASSERT_TRUE(network->FileSave());
    EXPECT_TRUE(network->Saved);
    EXPECT_FALSE(network->Dirty());
    const QByteArray written = fileBytes(network->FileName());
    EXPECT_EQ(QString::fromUtf8(written), golden("document-full.xml"));
    if (QString::fromUtf8(written) != golden("document-full.xml")) {
        QFile actual(test::buildPath(S("document-full.actual.xml"))); // for a person to compare
        if (actual.open(QIODevice::WriteOnly))
            actual.write(written);
    }

    // Saving again at once does nothing.
    EXPECT_FALSE(network->FileSave());
    EXPECT_EQ(fileBytes(network->FileName()), written);
    EXPECT_EQ(ui->busyPointer, (std::vector<bool> {true, false}));
}

TEST_F(NetworkXML, ReadingTheFullDocumentRestoresEveryStoredField)
{
    ui->queuePromptAnswer(S("RAIN"));
    ui->queuePromptAnswer(S("Ed"));
    QString text = golden("document-full.xml");
    auto read = readNetwork(text);
    ASSERT_EQ(ui->prompts.size(), 2u);
    EXPECT_EQ(ui->prompts[0].title, S("Knowledge Base Password"));
    EXPECT_EQ(ui->prompts[1].title, S("Editor Password"));
    EXPECT_TRUE(ui->messageBoxes.empty());

    auto original = fullNetwork();
    EXPECT_EQ(read->GUID(), original->GUID());
    EXPECT_EQ(read->NetworkType, 1);
    EXPECT_EQ(read->Name()->HTML, original->Name()->HTML);
    EXPECT_EQ(read->Name()->Font()->Name, S("Times New Roman"));
    EXPECT_EQ(read->Name()->Font()->Size, 14);
    EXPECT_TRUE(read->Name()->Font()->Bold);
    EXPECT_EQ(read->Name()->ForeColor, 0x000080);
    EXPECT_EQ(read->KBDescription()->HTML, original->KBDescription()->HTML);
    EXPECT_EQ(read->ScenarioName(), S("Monday"));
    EXPECT_EQ(read->Description, S("A wet day\rin town"));
    EXPECT_EQ(read->Picture, S("splash.png"));
    EXPECT_EQ(read->Author()->HTML, S("A. N. Author"));
    EXPECT_EQ(read->Copyright()->HTML, S("(c) 2026 the authors"));
    EXPECT_EQ(read->Password, S("Rain"));
    EXPECT_EQ(read->EditorPassword, S("ed"));
    EXPECT_EQ(read->PollingInterval, 30);
    EXPECT_EQ(read->Version(), S("2026-03-04 05:06:07"));
    EXPECT_EQ(read->SupportURL, original->SupportURL);
    EXPECT_TRUE(read->AutoAnswer);
    EXPECT_FALSE(read->ShowAnswer);
    EXPECT_EQ(read->Background, S("paper.png"));
    EXPECT_EQ(read->BackColour, 0xC0C0C0);
    EXPECT_EQ(read->HighlightColour, 0xFFFFFF);
    EXPECT_EQ(read->ShadowColour, 0x808080);
    EXPECT_EQ(read->NodeColour, -1);
    ASSERT_EQ(read->Properties.Count(), 1);
    EXPECT_EQ(read->Properties.Item(1)->Value.toString(), S("North & West"));
    ASSERT_EQ(read->Controls.Count(), 1);
    EXPECT_EQ(read->Controls.Item(1)->ControlType, S("CheckBox"));

    EXPECT_EQ(test::layerNames(*read), (std::vector<std::string> {"Clouds Wind Forecast", "Umbrella"}));
    EXPECT_EQ(read->cintCounter, 4);
    const auto umbrella = read->Layers().Item(2)->Nodes().Item(1);
    ASSERT_EQ(umbrella->Links().Count(), 3);
    const auto clouds = umbrella->Links().Item(1)->ConnectionTo;
    EXPECT_EQ(clouds, read->Layers().Item(1)->Nodes().Item(1));
    EXPECT_EQ(umbrella->Links().Item(1)->ConnectionFrom.lock(), umbrella);
    EXPECT_EQ(umbrella->Links().Item(1)->WeightDeny, 0.1);
    EXPECT_TRUE(umbrella->Links().Item(1)->AlwaysAffirm);
    EXPECT_TRUE(umbrella->Links().Item(2)->AlwaysDeny);
    ASSERT_EQ(clouds->Parents().Count(), 1);
    EXPECT_EQ(clouds->Parents().Item(1).lock(), umbrella);
    EXPECT_TRUE(clouds->Answered);
    EXPECT_EQ(clouds->DOT, 1.0);
    EXPECT_TRUE(read->Layers().Item(1)->Nodes().Item(2)->Disabled);
    EXPECT_TRUE(read->Layers().Item(1)->Nodes().Item(3)->External());
    EXPECT_EQ(umbrella->Network.lock(), read);
    EXPECT_EQ(umbrella->NodeNumber, 4);
    EXPECT_EQ(umbrella->Layer.lock(), read->Layers().Item(2));

    // Saved again, the document is the same text.
    read->setFileName(scratchFile("again.xml"));
    ASSERT_TRUE(read->FileSave());
    EXPECT_EQ(QString::fromUtf8(fileBytes(read->FileName())), text);
}

TEST_F(NetworkXML, TextsAreUnescapedExactlyOnce)
{
    auto network = clsNetwork::create();
    network->Name()->setText(S("x &lt; y and 1 < 2"));
    network->setScenarioName(S("a &amp; b <i>"));
    network->Description = S("&lt;");
    network->setVersion(S("<now> & 'then'"));
    network->SupportURL = S("http://x/?a=1&lt=2");
    auto control = std::make_shared<clsControl>();
    control->ControlType = S("it's \"odd\" <x>");
    control->Name = S("c");
    network->Controls.Add(control, control->Name);
    network->setGUID(S("01'<G>"));
    QString text = network->SerializeOutXML();

    ui->queuePromptAnswer(QString());
    auto read = readNetwork(text);
    EXPECT_EQ(read->Name()->HTML, S("x &lt; y and 1 < 2"));
    EXPECT_EQ(read->ScenarioName(), S("a &amp; b <i>"));
    EXPECT_EQ(read->Description, S("&lt;"));
    EXPECT_EQ(read->Version(), S("<now> & 'then'"));
    EXPECT_EQ(read->SupportURL, S("http://x/?a=1&lt=2"));
    EXPECT_EQ(read->Controls.Item(1)->ControlType, control->ControlType);
    EXPECT_EQ(read->GUID(), S("01'<G>"));
}

TEST_F(NetworkXML, AccentedTextRoundTripsAsUtf8)
{
    auto network = clsNetwork::create();
    network->Name()->setText(S("Caf\u00e9 cr\u00e8me \u20ac5"));
    network->setFileName(scratchFile("accents.xml"));
    ASSERT_TRUE(network->FileSave());
    const QByteArray bytes = fileBytes(network->FileName());
    EXPECT_TRUE(bytes.contains("Caf\xC3\xA9 cr\xC3\xA8me \xE2\x82\xAC" "5"));

    auto read = readNetwork(platform::encoding::decodeStored(bytes));
    EXPECT_EQ(read->Name()->HTML, network->Name()->HTML);
}

TEST_F(NetworkXML, OlderWindows1252DocumentsRead)
{
    const QByteArray bytes = fileBytes(test::dataPath(S("xml/document-cp1252.xml")));
    ASSERT_FALSE(platform::encoding::isValidUtf8(bytes));
    auto read = readNetwork(platform::encoding::decodeStored(bytes));
    EXPECT_EQ(read->Name()->HTML, S("Caf\u00e9 \u201cquoted\u201d"));
    EXPECT_EQ(test::layerNames(*read), (std::vector<std::string> {"Na\u00efve"}));
}

TEST_F(NetworkXML, ANetworkWithoutNodesEndsWithOneBlankLine)
{
    auto network = clsNetwork::create();
    const QString text = network->SerializeOutXML();
    EXPECT_TRUE(text.endsWith(S("</network>\r\n\r\n")));
    EXPECT_EQ(text.count(S("<network ")), 1);
}

TEST_F(NetworkXML, MissingSettingsTakeTheirDefaults)
{
    auto read = readNetwork(S("<network networkguid='G'>\r\n</network>"));
    EXPECT_EQ(read->GUID(), S("G"));
    EXPECT_FALSE(read->AutoAnswer);
    EXPECT_TRUE(read->ShowAnswer);
    EXPECT_EQ(read->PollingInterval, 0);
    EXPECT_EQ(read->SupportURL, QString());
    EXPECT_EQ(read->NetworkType, 0);
    EXPECT_TRUE(read->Layers().isEmpty());
    EXPECT_TRUE(ui->prompts.empty());
}

TEST_F(NetworkXML, AnUnreadableSettingIsReportedAndTheRestIsRead)
{
    QString text = S("<network networkguid='G'><autoanswer>perhaps</autoanswer><pollinginterval>99999</pollinginterval>"
                     "<showanswer>false</showanswer></network>")
        + nodeElement("A", 1, 1);
    auto read = readNetwork(text, false);
    EXPECT_FALSE(read->AutoAnswer);
    EXPECT_FALSE(read->ShowAnswer);
    EXPECT_EQ(read->PollingInterval, 20);
    EXPECT_EQ(read->NodeCount(), 1);
}

TEST_F(NetworkXML, DuplicateNodeGUIDsAreKeptAndLinksGoToTheFirst)
{
    const QString text = S("<network networkguid='G'></network>") + nodeElement("A", 1, 1)
        + nodeElement("A", 1, 2) + nodeElement("C", 2, 1, linkElement("A") + linkElement("NOWHERE"));
    auto read = readNetwork(text);
    ASSERT_EQ(read->NodeCount(), 3);
    const auto first = read->Layers().Item(1)->Nodes().Item(1);
    const auto second = read->Layers().Item(1)->Nodes().Item(2);
    EXPECT_EQ(first->GUID, S("A"));
    EXPECT_NE(second->GUID, S("A"));
    EXPECT_EQ(second->GUID.size(), 44);
    const auto holder = read->Layers().Item(2)->Nodes().Item(1);
    ASSERT_EQ(holder->Links().Count(), 1); // the link to no node read is dropped
    EXPECT_EQ(holder->Links().Item(1)->ConnectionTo, first);
    EXPECT_TRUE(second->Parents().isEmpty());
}

TEST_F(NetworkXML, NewGUIDsKeepTheNetworkAndRelinkThroughOldGUIDs)
{
    auto network = clsNetwork::create();
    network->setNewGUIDs(true);
    const QString own = network->GUID();
    QString text = S("<network type='knowledgebase' networkguid='FILE'></network>") + nodeElement("A", 1, 1)
        + nodeElement("B", 2, 1, linkElement("A"));
    ASSERT_TRUE(network->SerializeInXML(text));
    EXPECT_EQ(network->GUID(), own);
    EXPECT_EQ(network->NetworkType, 2);
    const auto a = network->Layers().Item(1)->Nodes().Item(1);
    const auto b = network->Layers().Item(2)->Nodes().Item(1);
    EXPECT_EQ(a->OldGUID, S("A"));
    EXPECT_NE(a->GUID, S("A"));
    ASSERT_EQ(b->Links().Count(), 1);
    EXPECT_EQ(b->Links().Item(1)->ConnectionTo, a);
    EXPECT_EQ(b->Links().Item(1)->NodeGUIDRef, a->GUID);
}

TEST_F(NetworkXML, EveryNodeIsPlacedInLayerThenIndexOrder)
{
    // Layers 1, 1 and 3: layer 2 is made empty.
    auto read = readNetwork(S("<network networkguid='G'></network>") + nodeElement("A", 1, 2) + nodeElement("B", 3, 1)
                            + nodeElement("C", 1, 1));
    ASSERT_EQ(read->Layers().Count(), 3);
    EXPECT_EQ(test::layerIndexes(*read), (std::vector<int> {1, 2, 3}));
    EXPECT_EQ(read->Layers().Item(1)->Nodes().Item(1)->GUID, S("C"));
    EXPECT_EQ(read->Layers().Item(1)->Nodes().Item(2)->GUID, S("A"));
    EXPECT_TRUE(read->Layers().Item(2)->Nodes().isEmpty());
    EXPECT_EQ(read->Layers().Item(3)->Nodes().Item(1)->NodeNumber, 3);

    // Layers 1 and 3 only: both nodes are placed. Gaps in places close; equal places keep reading order.
    read = readNetwork(S("<network networkguid='G'></network>") + nodeElement("A", 1, 7) + nodeElement("B", 3, 4)
                       + nodeElement("D", 3, 4) + nodeElement("E", 0, 0, S("<nodename><string>x</string></nodename>")));
    ASSERT_EQ(read->NodeCount(), 4);
    EXPECT_EQ(read->Layers().Count(), 3);
    EXPECT_EQ(read->Layers().Item(1)->Nodes().Item(1)->GUID, S("E"));
    EXPECT_EQ(read->Layers().Item(1)->Nodes().Item(2)->Index(), 2);
    EXPECT_EQ(read->Layers().Item(3)->Nodes().Item(2)->GUID, S("D"));
}

TEST_F(NetworkXML, ANodeWithAnUnreadableFieldIsStillPlaced)
{
    auto read = readNetwork(S("<network networkguid='G'></network>")
                            + S("<node nodeguid='A'><layerindex></layerindex><nodeindex>1</nodeindex></node>"));
    ASSERT_EQ(read->NodeCount(), 1);
    EXPECT_EQ(read->Layers().Item(1)->Nodes().Item(1)->GUID, S("A"));
}

TEST_F(NetworkXML, NodeElementsAreCutOutOfTheText)
{
    QString text = S("<network networkguid='G'></network>") + nodeElement("A", 1, 1) + S("tail");
    auto network = clsNetwork::create();
    ASSERT_TRUE(network->SerializeInXML(text));
    EXPECT_EQ(text, S("\r\ntail"));
}

TEST(StoredPassword, ThreeDigitsPerCharacterWithTheFixedKey)
{
    const QString digits = StoredPassword::Scramble(S("ab"));
    EXPECT_EQ(digits.size(), 6);
    EXPECT_EQ(digits, QStringLiteral("%1%2")
                          .arg(u'a' ^ StoredPassword::kPasswordScramblingKey.unicode(), 3, 10, QLatin1Char('0'))
                          .arg(u'b' ^ StoredPassword::kPasswordScramblingKey.unicode(), 3, 10, QLatin1Char('0')));
    EXPECT_EQ(StoredPassword::Unscramble(digits), S("ab"));
    EXPECT_EQ(StoredPassword::Unscramble(StoredPassword::Scramble(S("\u00e9t\u00e9 2"))), S("\u00e9t\u00e9 2"));
    EXPECT_EQ(StoredPassword::Scramble(QString()), QString());
    EXPECT_THROW(StoredPassword::Unscramble(S("01x")), RuntimeError);
    EXPECT_THROW(StoredPassword::Unscramble(S("999")), RuntimeError);
}

TEST_F(NetworkXML, PasswordsAreAskedForAndComparedInAnyCase)
{
    auto network = clsNetwork::create();
    network->Name()->setText(S("Secret base"));
    network->Password = S("Open Sesame");
    network->EditorPassword = S("pen");
    QString text = network->SerializeOutXML() + nodeElement("A", 1, 1);

    basGlobal::EnteredPassword = S("left over");
    ui->queuePromptAnswer(S("OPEN sesame"));
    ui->queuePromptAnswer(S("PEN"));
    auto read = readNetwork(text);
    EXPECT_EQ(read->NodeCount(), 1);
    EXPECT_EQ(basGlobal::EnteredPassword, S("PEN"));
    EXPECT_EQ(ui->busyPointer, (std::vector<bool> {false, true, false, true}));
    EXPECT_GE(ui->yields, 2);
}

TEST_F(NetworkXML, ARefusedPasswordReadsNoNode)
{
    auto network = clsNetwork::create();
    network->Name()->setText(S("Secret base"));
    network->Password = S("right");
    QString text = network->SerializeOutXML() + nodeElement("A", 1, 1);

    ui->queuePromptAnswer(S("wrong"));
    RecordingProgressBar progress;
    auto refused = clsNetwork::create();
    EXPECT_FALSE(refused->SerializeInXML(text, &progress));
    EXPECT_EQ(refused->NodeCount(), 0);
    EXPECT_EQ(refused->Name()->HTML, S("Secret base")); // what was read before stays
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, S("Access denied"));
    EXPECT_EQ(ui->messageBoxes[0].title, S("Secret base"));
    EXPECT_EQ(ui->messageBoxes[0].style, platform::msgbox::Critical);
    EXPECT_EQ(progress.values, std::vector<int> {0});

    // Closing the prompt without OK refuses, even when the last password typed was right.
    basGlobal::EnteredPassword = S("right");
    ui->queuePromptAnswer(std::nullopt);
    readNetwork(text, false);
    EXPECT_EQ(ui->messageBoxes.size(), 2u);
    EXPECT_TRUE(basGlobal::EnteredPassword.isEmpty());
}

TEST_F(NetworkXML, TheViewerSkipsTheEditorPassword)
{
    auto network = clsNetwork::create();
    network->EditorPassword = S("pen");
    const QString text = network->SerializeOutXML();
    basGlobal::ApplicationMode = 1;
    auto read = readNetwork(text);
    EXPECT_TRUE(ui->prompts.empty());
    EXPECT_TRUE(read->EditorPassword.isEmpty());

    basGlobal::ApplicationMode = 0;
    ui->queuePromptAnswer(S("no"));
    readNetwork(text, false);
    ASSERT_EQ(ui->prompts.size(), 1u);
    EXPECT_EQ(ui->prompts[0].title, S("Editor Password"));
}

TEST_F(NetworkXML, ProgressRunsUpAndEndsAtZero)
{
    auto network = fullNetwork();
    network->Password.clear();
    network->EditorPassword.clear();
    QString text = network->SerializeOutXML();
    RecordingProgressBar progress;
    ASSERT_TRUE(clsNetwork::create()->SerializeInXML(text, &progress));
    ASSERT_GE(progress.values.size(), 3u);
    EXPECT_TRUE(std::is_sorted(progress.values.begin(), progress.values.end() - 1));
    EXPECT_GT(progress.values[progress.values.size() - 2], 90);
    EXPECT_EQ(progress.values.back(), 0);

    QString empty;
    RecordingProgressBar none;
    EXPECT_TRUE(clsNetwork::create()->SerializeInXML(empty, &none));
    EXPECT_EQ(none.values, std::vector<int> {0});
}

TEST_F(NetworkXML, AFailedSaveLeavesThePreviousDocument)
{
    QDir(test::scratchFolder()).mkpath(S("kept"));
    const QString path = scratchFile("kept/kept.xml");
    auto network = fullNetwork();
    network->setFileName(path);
    ASSERT_TRUE(network->FileSave());
    const QByteArray before = fileBytes(path);

    network->Saved = false;
    network->setDirty(true);
    network->Layers().Item(1)->Nodes().Add(nullptr); // a node that cannot be written
    EXPECT_FALSE(network->FileSave());
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_TRUE(network->Dirty());
    EXPECT_FALSE(network->Saved);
    EXPECT_EQ(ui->busyPointer.back(), false);
    EXPECT_EQ(QDir(scratchFile("kept")).entryList(QDir::Files | QDir::Hidden), QStringList {S("kept.xml")});
    network->Layers().Item(1)->Nodes().Remove(network->Layers().Item(1)->Nodes().Count());

    auto elsewhere = clsNetwork::create();
    elsewhere->setFileName(scratchFile("no such folder/x.xml"));
    EXPECT_FALSE(elsewhere->FileSave());
}

TEST_F(NetworkXML, AReadOnlyFileIsRefusedWithAMessage)
{
    const QString path = scratchFile("locked.xml");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old");
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    auto network = clsNetwork::create();
    network->setFileName(path);
    EXPECT_FALSE(network->FileSave());
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, path + S(" is read only"));
    EXPECT_EQ(ui->messageBoxes[0].style, platform::msgbox::Exclamation);
    EXPECT_EQ(fileBytes(path), QByteArray("old"));
}

TEST_F(NetworkXML, SeveralNetworksShareOneDocumentOutput)
{
    const QString path = scratchFile("two.xml");
    auto first = clsNetwork::create();
    first->Name()->setText(S("First"));
    auto second = clsNetwork::create();
    second->Name()->setText(S("Second"));
    {
        DocumentOutput output(path);
        ASSERT_TRUE(output.open());
        output.writeDocumentStart();
        ASSERT_TRUE(first->FileSave(&output));
        ASSERT_TRUE(second->FileSave(&output));
        output.writeDocumentEnd();
        EXPECT_FALSE(QFile::exists(path)); // nothing replaced before commit
        ASSERT_TRUE(output.commit());
    }
    const QString text = QString::fromUtf8(fileBytes(path));
    EXPECT_TRUE(text.startsWith(S("<?xml version='1.0' encoding='UTF-8'?>\r\n<!DOCTYPE kelvanedocument>\r\n")));
    EXPECT_EQ(text.count(S("<kelvanenetwork>")), 2);
    EXPECT_TRUE(text.contains(S("</network>\r\n\r\n\r\n</kelvanenetwork>\r\n<kelvanenetwork>\r\n")));

    QString document = text;
    EXPECT_EQ(readNetwork(document)->Name()->HTML, S("First"));

    QDir(test::scratchFolder()).mkpath(S("abandoned"));
    {
        DocumentOutput abandoned(scratchFile("abandoned/a.xml"));
        ASSERT_TRUE(abandoned.open());
        abandoned.writeDocumentStart();
    }
    EXPECT_TRUE(QDir(scratchFile("abandoned")).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(NetworkXML, PicturesThatExistGoToTheHostDisplay)
{
    const QString splash = scratchFile("splash.png");
    QFile file(splash);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("picture");
    file.close();

    auto host = std::make_shared<doubles::RecordingHostDisplay>();
    auto network = clsNetwork::create();
    network->ParentDisplay = host;
    QString text = S("<network networkguid='G'><splash><image>") + splash + S("</image></splash><displayscheme>"
                     "<background><image>missing.png</image></background></displayscheme></network>");
    ASSERT_TRUE(network->SerializeInXML(text));
    ASSERT_EQ(host->splashes.size(), 1u);
    EXPECT_EQ(host->splashes[0].filePath, splash);
    EXPECT_TRUE(host->backgrounds.empty());
    EXPECT_EQ(network->Background, S("missing.png"));
}
