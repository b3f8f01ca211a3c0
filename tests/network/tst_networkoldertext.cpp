// Opening networks of the older text form: FileOpen and the network reader.
#include "NetworkBuilder.h"
#include "NetworkReadTest.h"

#include "model/FontProperties.h"
#include "model/Property.h"
#include "model/basGlobal.h"
#include "network/StoredPassword.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <QRandomGenerator>

using namespace kelvane;
using namespace kelvane::test;

namespace {

class OlderTextTest : public NetworkReadTest {
protected:
    bool open(const QString& text)
    {
        QString source = text;
        return network->FileOpen(source, false);
    }

    std::shared_ptr<Node> nodeAt(qint16 layer, qint16 position)
    {
        return network->Layers().Item(layer)->Nodes().Item(position);
    }

    // The one link of `owner`.
    std::shared_ptr<Link> onlyLink(const std::shared_ptr<Node>& owner)
    {
        EXPECT_EQ(owner->Links().Count(), 1);
        return owner->Links().Item(1);
    }
};

// Two layers, one node in each, and the link records given.
QString twoNodesWith(const QString& linkRecords)
{
    return QStringLiteral("h}h}{LAYERS=2;NODES=2;}\r\n{NAME=Fuel pump;POSITION=(1,1);}\r\n{NAME=Stalls;POSITION=(2,1);}\r\n")
        + linkRecords;
}

} // namespace

TEST_F(OlderTextTest, CarDiagnosisFixtureReadsIntoLayersAnswersLinksAndProperties)
{
    network->setFileName(dataPath(QStringLiteral("oldtext/car-diagnosis.qkb")));
    network->BackColour = 5;
    QString source;
    ASSERT_TRUE(network->FileOpen(source, false));
    EXPECT_TRUE(ui->messageBoxes.empty());

    EXPECT_EQ(layerNames(*network), (Names {"Battery flat", "Car will not start"}));
    EXPECT_EQ(network->Name()->Text(), QStringLiteral("Car diagnosis"));
    EXPECT_EQ(network->KBDescription()->Text(), QStringLiteral("Why does the car not start?\rA small example."));
    EXPECT_EQ(network->Author()->Text(), QStringLiteral("Town Garage"));
    EXPECT_EQ(network->Version(), QStringLiteral("2001-05-04 10:00:00"));
    EXPECT_EQ(network->SupportURL, QStringLiteral("http://cars.example/help"));
    ASSERT_EQ(network->Properties.Count(), 1);
    EXPECT_EQ(network->Properties.Item(QStringLiteral("domain"))->Value.toString(), QStringLiteral("Cars"));
    EXPECT_EQ(network->NetworkType, 1);
    EXPECT_FALSE(network->Structured);
    EXPECT_FALSE(network->Dirty());
    EXPECT_EQ(network->BackColour, -1); // the stored colour gives way to the user's colours
    EXPECT_EQ(network->cintCounter, 2);

    const auto battery = nodeAt(1, 1);
    EXPECT_EQ(battery->GUID, QStringLiteral("0112345678901A1B2C3D4E5F60718293A4B5C6D7E8F90"));
    EXPECT_EQ(battery->Question->Text(), QStringLiteral("Is the battery flat?"));
    EXPECT_EQ(answerTexts(*battery), (Names {"Yes", "No"}));
    EXPECT_FALSE(battery->Enabled());
    EXPECT_EQ(battery->NodeNumber, 1);
    EXPECT_EQ(battery->Layer.lock(), network->Layers().Item(1));

    const auto car = nodeAt(2, 1);
    EXPECT_EQ(answerTexts(*car), (Names {"Certainly", "Perhaps", "Not at all"}));
    EXPECT_TRUE(car->Answers.Item(1)->Font()->Bold);
    EXPECT_TRUE(car->Enabled());
    EXPECT_EQ(car->NodeNumber, 2);

    const auto link = onlyLink(car);
    EXPECT_EQ(link->ConnectionTo, battery);
    EXPECT_EQ(link->ConnectionFrom.lock(), car);
    EXPECT_EQ(link->WeightAffirm, 0.9);
    EXPECT_EQ(link->WeightDeny, 0.2);
    EXPECT_DOUBLE_EQ(link->Weight, (1 - 0.2 + 0.9) / 2);
    EXPECT_FALSE(link->AlwaysAffirm);
    EXPECT_FALSE(link->AlwaysDeny);
    ASSERT_EQ(battery->Parents().Count(), 1);
    EXPECT_EQ(battery->Parents().Item(1).lock(), car);
}

TEST_F(OlderTextTest, StatementsMatchKeysInAnyCaseAndCleanTheirValues)
{
    network->setFileName(QStringLiteral("C:\\kb\\cars\\car.qkb"));
    ASSERT_TRUE(open(QStringLiteral("first {NAME=Wrong;} second }" // two header chunks, not read
                                    "{ layers is 2,0; nodes = 1; name = 'Ignition'; author = \"Jo \"\"the\"\" fixer\";"
                                    " mORE iNFO rOOT = http://more; Scenario Name = Cold morning;"
                                    " Description = Frost<<VBCR>>overnight; Ubo_Author_Font_Size = 10,5;"
                                    " PICTURE=splash.gif; BACKGROUND=..\\back.gif; COPYRIGHT = lost }"
                                    "{NAME=Spark;POSITION=(2,1);}")));
    EXPECT_EQ(layerNames(*network), (Names {"", "Spark"})); // "2,0" read as 2 on the second try
    EXPECT_EQ(network->Name()->Text(), QStringLiteral("Ignition"));
    EXPECT_EQ(network->Author()->Text(), QStringLiteral("Jo the fixer"));
    EXPECT_EQ(network->Author()->Font()->Size, 10);
    EXPECT_EQ(network->MoreInfoRoot, QStringLiteral("http://more"));
    EXPECT_EQ(network->ScenarioName(), QStringLiteral("Cold morning"));
    EXPECT_EQ(network->Description, QStringLiteral("Frost\rovernight"));
    EXPECT_EQ(network->Picture, QStringLiteral("C:\\kb\\cars\\splash.gif"));
    EXPECT_EQ(network->Background, QStringLiteral("C:\\kb\\back.gif"));
    EXPECT_TRUE(network->Copyright()->Text().isEmpty()); // its statement lacks the ";"
}

TEST_F(OlderTextTest, LinkValuesGiveWeightsAndForcingFlags)
{
    ASSERT_TRUE(open(twoNodesWith(QStringLiteral("LINK (Fuel_pump|Stalls) {1, 0.3}"))));
    auto link = onlyLink(nodeAt(2, 1));
    EXPECT_EQ(link->WeightAffirm, 1.0);
    EXPECT_EQ(link->WeightDeny, 0.3);
    EXPECT_TRUE(link->AlwaysAffirm);
    EXPECT_FALSE(link->AlwaysDeny);
    EXPECT_DOUBLE_EQ(link->Weight, 0.85);

    network = clsNetwork::create();
    ASSERT_TRUE(open(twoNodesWith(QStringLiteral("(Fuel_pump | Stalls) {0.5, 0.5, 0.7, True,\r\n False\r\n}"))));
    link = onlyLink(nodeAt(2, 1));
    EXPECT_EQ(link->Weight, 0.7);
    EXPECT_TRUE(link->AlwaysAffirm);
    EXPECT_FALSE(link->AlwaysDeny);
}

TEST_F(OlderTextTest, LinkNamesFindTheLastNodeOfThatNameAndUnnamedNodesByNumber)
{
    // Two nodes called "Stalls": the link goes to the last one only; the nameless node is
    // found by its default name, "Node 3".
    ASSERT_TRUE(open(QStringLiteral("h}h}{LAYERS=2;NODES=3;}{NAME=Stalls;POSITION=(2,1);}{NAME=Stalls;POSITION=(2,1);}"
                                    "{POSITION=(1,1);}(Node_3|Stalls){0.8,0.1}(Nobody|Stalls){0.5,0.5}")));
    const auto first = nodeAt(2, 1);
    const auto last = nodeAt(2, 2);
    const auto evidence = nodeAt(1, 1);
    EXPECT_TRUE(first->Links().isEmpty());
    EXPECT_EQ(onlyLink(last)->ConnectionTo, evidence);
    ASSERT_EQ(evidence->Parents().Count(), 1);
    EXPECT_EQ(evidence->Parents().Item(1).lock(), last);
}

TEST_F(OlderTextTest, EachBlockEndsAtItsOwnClosingBrace)
{
    // The text of the first node block also stands before it: reading goes on after the
    // block itself, so each record is read once.
    ASSERT_TRUE(open(QStringLiteral("h}h}{LAYERS=1;NODES=2;}NAME=A;POSITION=(1,1);"
                                    "{NAME=A;POSITION=(1,1);}{NAME=B;POSITION=(1,1);}")));
    EXPECT_EQ(layerNames(*network), (Names {"A B"}));
}

TEST_F(OlderTextTest, DuplicatePropertyIsReportedAndTheReadGoesOn)
{
    ASSERT_TRUE(open(QStringLiteral("h}h}{Ubo_Property_1_Name=Make;Ubo_Property_1_Value=Ford;"
                                    "Ubo_Property_2_Name=MAKE;Ubo_Property_2_Value=Fiat;NAME=Kept;}")));
    EXPECT_TRUE(reportedBy("SerializeIn"));
    EXPECT_EQ(network->Properties.Item(QStringLiteral("Make"))->Value.toString(), QStringLiteral("Ford"));
    EXPECT_EQ(network->Name()->Text(), QStringLiteral("Kept"));
}

TEST_F(OlderTextTest, RecordsThatCannotBeReadFailTheRead)
{
    const QString texts[] = {
        QStringLiteral("no braces at all"),
        QStringLiteral("h}h}{LAYERS=1;NODES=2;}{NAME=A;POSITION=(1,1);}"),      // a node record missing
        QStringLiteral("h}h}{LAYERS=1;NODES=1;}{NAME=A;POSITION=(2,1);}"),      // layer the network lacks
        QStringLiteral("h}h}{LAYERS=1;NODES=1;}{NAME=A;}"),                     // no position
        QStringLiteral("h}h}{LAYERS=1;NODES=1;}{NAME=A;POSITION=(1,1);"),       // cut inside a node
        QStringLiteral("h}h}{LAYERS=one;}"),                                    // not a number
        QStringLiteral("h}h}{LAYERS=99999;}"),                                  // too large
        QStringLiteral("h}h}{Ubo_Property_1_Value=x;}"),                        // value without a name
        twoNodesWith(QStringLiteral("(Fuel_pump|Stalls){0.5}")),                // one value
        twoNodesWith(QStringLiteral("(Fuel_pump|Stalls){0.5,0.5,0.5,True}")),   // AlwaysDeny missing
        twoNodesWith(QStringLiteral("(Fuel_pump|Stalls){0.5,0.5,0.5,maybe,no}")), // not Booleans
        twoNodesWith(QStringLiteral("(Fuel_pump){0.5,0.5}")),                   // one name
        twoNodesWith(QStringLiteral("(Fuel_pump|Stalls){0.5,0.5")),             // cut inside a link
    };
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        ui->messageBoxes.clear();
        network = clsNetwork::create();
        network->setDirty(true);
        EXPECT_FALSE(open(text));
        EXPECT_TRUE(reportedBy("SerializeIn"));
    }
    EXPECT_EQ(layerNames(*network), (Names {"Fuel pump", "Stalls"})); // what was read before the failure stays
}

TEST_F(OlderTextTest, PasswordsAreAskedForAndCompared)
{
    const QString key = StoredPassword::Scramble(QStringLiteral("Sesame"));
    const QString text = QStringLiteral("h}h}{NAME=Locked;KEY=%1;SUBKEY=%2;AUTHOR=Read;}")
                             .arg(key, StoredPassword::Scramble(QStringLiteral("Edit")));

    ui->queuePromptAnswer(QStringLiteral("sesame"));
    ui->queuePromptAnswer(QStringLiteral("EDIT"));
    ASSERT_TRUE(open(text));
    EXPECT_EQ(network->Password, QStringLiteral("Sesame"));
    EXPECT_EQ(network->EditorPassword, QStringLiteral("Edit"));
    ASSERT_EQ(ui->prompts.size(), 2u);
    EXPECT_EQ(ui->prompts[0].title, QStringLiteral("Knowledge Base Password"));
    EXPECT_EQ(ui->prompts[1].title, QStringLiteral("Editor Password"));

    // A wrong password stops the read at its statement.
    network = clsNetwork::create();
    ui->messageBoxes.clear();
    ui->queuePromptAnswer(QStringLiteral("Open up"));
    EXPECT_FALSE(open(text));
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, QStringLiteral("Access denied"));
    EXPECT_EQ(ui->messageBoxes[0].title, QStringLiteral("Locked"));
    EXPECT_TRUE(network->Author()->Text().isEmpty());

    // The viewer neither reads nor asks for the editor password.
    basGlobal::ApplicationMode = 1;
    network = clsNetwork::create();
    ui->prompts.clear();
    ui->queuePromptAnswer(QStringLiteral("Sesame"));
    ASSERT_TRUE(open(text));
    EXPECT_EQ(ui->prompts.size(), 1u);
    EXPECT_TRUE(network->EditorPassword.isEmpty());
}

TEST_F(OlderTextTest, FileOpenSetsTheTypeFromTheNameAndReportsAMissingFile)
{
    network->setFileName(scratchFolder() + QStringLiteral("/missing.QSN"));
    network->setDirty(true);
    QString source;
    EXPECT_FALSE(network->FileOpen(source, false));
    EXPECT_TRUE(reportedBy("FileOpen"));
    EXPECT_TRUE(network->Dirty()); // untouched by a failed open
    EXPECT_EQ(network->NetworkType, 2);
}

TEST_F(OlderTextTest, FileOfWholeRecordsIsReadFromItsOwnBytes)
{
    // Exactly 1,024 bytes: nothing beyond them reaches the reader. Each byte is one character
    // of the ANSI code page.
    QByteArray bytes = "h}h}{LAYERS=1;NODES=1;}{NAME=Caf\xE9\x80;POSITION=(1,1);}";
    bytes.append(1024 - bytes.size(), ' ');
    const QString path = scratchFolder() + QStringLiteral("/records.qkb");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    network->setFileName(path);
    QString source;
    ASSERT_TRUE(network->FileOpen(source, false));
    EXPECT_EQ(layerNames(*network), (Names {"Caf\u00E9\u20AC"}));
}

TEST_F(OlderTextTest, CutOrRandomTextsEndInAResultWithoutHarm)
{
    QFile fixture(dataPath(QStringLiteral("oldtext/car-diagnosis.qkb")));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    const QString whole = QString::fromLatin1(fixture.readAll());
    // Cut inside a header, the network block or a node record, or inside the link's values.
    const qsizetype nodesEnd = whole.indexOf(QStringLiteral("LINK")) - 3;
    const qsizetype valuesStart = whole.lastIndexOf(u'{') + 1;
    std::vector<qsizetype> cuts;
    for (qsizetype length = 1; length < nodesEnd; length += 5)
        cuts.push_back(length);
    for (qsizetype length = valuesStart; length < whole.lastIndexOf(u'}'); ++length)
        cuts.push_back(length);
    for (const qsizetype length : cuts) {
        SCOPED_TRACE(length);
        ui->messageBoxes.clear();
        network = clsNetwork::create();
        EXPECT_FALSE(open(whole.left(length)));
        EXPECT_TRUE(reportedBy("SerializeIn"));
    }

    QRandomGenerator random(7);
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes(random.bounded(1, 600), '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(random.bounded(256));
        ui->messageBoxes.clear();
        network = clsNetwork::create();
        if (!open(QString::fromLatin1(bytes))) {
            EXPECT_TRUE(reportedBy("SerializeIn"));
        }
    }
}
