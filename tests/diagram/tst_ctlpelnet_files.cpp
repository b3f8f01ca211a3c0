// Opening and saving documents: XML documents and compound files with their lower-level
// networks, pictures and GUID streams; refusals and failures; the knowledge server's road.
#include "DiagramTestSupport.h"

#include "diagram/doubles/ScriptedServerSession.h"
#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "model/xml/XMLElementWalker.h"
#include "model/xml/basXML.h"
#include "platform/StructuredStorage.h"
#include "platform/TextEncoding.h"
#include "platform/doubles/MemoryStructuredStorage.h"
#include "tests/platform/StorageTestHelpers.h"
#include "tests/support/FileSizeLimit.h"

#include <QBuffer>
#include <QFileInfo>
#include <QRegularExpression>

using namespace kelvane;
using namespace kelvane::test;
using platform::StorageMode;

namespace {

// A knowledge base of four networks: Car opens Electrics (at its node E1) and Fuel (at F1);
// Electrics opens Battery (at B1). Depth first, the document order is Car, Electrics,
// Battery, Fuel.
class Documents : public DiagramTest {
protected:
    Documents()
    {
        car.network->Name()->setText(QStringLiteral("Car"));
        electrics.network->Name()->setText(QStringLiteral("Electrics"));
        battery.network->Name()->setText(QStringLiteral("Battery"));
        fuel.network->Name()->setText(QStringLiteral("Fuel"));
        car.links("Start>ToElectrics Start>ToFuel");
        electrics.links("E1>E2 E1>ToBattery");
        openLowerLevel(car["ToElectrics"], car.network, electrics.network, electrics["E1"]);
        openLowerLevel(car["ToFuel"], car.network, fuel.network, fuel["F1"]);
        openLowerLevel(electrics["ToBattery"], electrics.network, battery.network, battery["B1"]);
        car["ToElectrics"]->ExternalFile = QStringLiteral("electrics.qkb");
        // Listed out of document order: the save walks the external nodes, not the list.
        useNetworks({car.network, fuel.network, electrics.network, battery.network});
        form.caption = QStringLiteral("Kelvane");
    }

    // A fresh control that opens `fileName`.
    std::unique_ptr<ctlPelnet> opened(const QString& fileName, bool hideOverview = false)
    {
        auto reader = std::make_unique<ctlPelnet>();
        reader->resize(400, 300);
        reader->ParentForm = &form;
        reader->Network()->setFileName(fileName);
        lastOpenResult = reader->FileOpen(nullptr, hideOverview);
        return reader;
    }

    static std::vector<std::string> networkNames(ctlPelnet& control)
    {
        std::vector<std::string> names;
        for (const auto& network : control.Networks)
            names.push_back(network->Name()->Text().toStdString());
        return names;
    }

    static std::shared_ptr<Node> nodeNamed(clsNetwork& network, const QString& name)
    {
        for (const auto& layer : network.Layers())
            for (const auto& node : layer->Nodes())
                if (node->Name()->Text() == name)
                    return node;
        return nullptr;
    }

    // Every network of the opened control is linked as the saved one was.
    static void expectLevelsLinked(ctlPelnet& reader)
    {
        ASSERT_EQ(reader.Networks.Count(), 4);
        const auto car = reader.Networks.Item(1);
        const auto toElectrics = nodeNamed(*car, QStringLiteral("ToElectrics"));
        const auto toFuel = nodeNamed(*car, QStringLiteral("ToFuel"));
        ASSERT_TRUE(toElectrics && toFuel);
        EXPECT_EQ(toElectrics->LowerLevelNetwork, reader.Networks.Item(2));
        EXPECT_EQ(toFuel->LowerLevelNetwork, reader.Networks.Item(4));
        const auto e1 = nodeNamed(*reader.Networks.Item(2), QStringLiteral("E1"));
        EXPECT_EQ(toElectrics->LowerLevelNode, e1);
        ASSERT_EQ(e1->HigherLevelNodes.Count(), 1);
        EXPECT_EQ(e1->HigherLevelNodes.Item(1).lock(), toElectrics);
        EXPECT_EQ(toElectrics->ExternalNetworkGUID, reader.Networks.Item(2)->GUID());
        EXPECT_EQ(toElectrics->ExternalGUID(), e1->GUID);
        for (qint16 i = 1; i <= 4; ++i)
            EXPECT_EQ(reader.Networks.Item(i)->Index, i);
        EXPECT_EQ(e1->Links().Count(), 2);
    }

    NetworkBuilder car {{"ToElectrics ToFuel", "Start"}};
    NetworkBuilder electrics {{"E2 ToBattery", "E1"}};
    NetworkBuilder battery {{"B1"}};
    NetworkBuilder fuel {{"F1"}};
    bool lastOpenResult = false;
};

QString networkOrder(const QString& document)
{
    QStringList names;
    const QRegularExpression name(QStringLiteral("<networkname>\\s*<string>([^<]*)</string>"));
    for (auto match = name.globalMatch(document); match.hasNext();)
        names << match.next().captured(1);
    return names.join(u',');
}

// A compound file holding the four fixed streams of a knowledge base, with nothing in them.
void makeCompoundFile(const QString& path)
{
    const auto storage = platform::structuredStorage().OpenStorage(path, StorageMode::ReadWrite);
    for (const char* name : {"Picture", "Background", "GUID", "Networks"})
        storeText(*storage, QString::fromLatin1(name), QString());
    storage->Commit();
}

QString pngBytes(QColor colour)
{
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return platform::encoding::fromAnsi(bytes);
}

} // namespace

// --- XML documents ----------------------------------------------------------------------------------

TEST_F(Documents, XMLSaveWritesTheLowerLevelsDepthFirstAndDropsTheirFileNames)
{
    const QString file = testFile(QStringLiteral("car.xml"));
    car.network->setFileName(file);
    ASSERT_TRUE(control->FileSave());
    const QString document = QString::fromUtf8(fileBytes(file));
    EXPECT_EQ(networkOrder(document), QStringLiteral("Car,Electrics,Battery,Fuel"));
    EXPECT_TRUE(document.startsWith(QStringLiteral("<?xml version='1.0' encoding='UTF-8'?>\r\n<!DOCTYPE kelvanedocument>")));
    EXPECT_TRUE(car["ToElectrics"]->ExternalFile.isEmpty());
    EXPECT_FALSE(car.network->Saved);
    EXPECT_FALSE(car.network->Dirty());
}

TEST_F(Documents, XMLDocumentOpensWithItsLevelsUnderNewGUIDs)
{
    const QString file = testFile(QStringLiteral("car.xml"));
    car.network->setFileName(file);
    ASSERT_TRUE(control->FileSave());

    const auto reader = opened(file);
    EXPECT_TRUE(lastOpenResult);
    EXPECT_TRUE(reader->Loaded);
    EXPECT_EQ(networkNames(*reader), std::vector<std::string>({"Car", "Electrics", "Battery", "Fuel"}));
    expectLevelsLinked(*reader);
    for (const auto& network : reader->Networks)
        EXPECT_NE(network->GUID(), car.network->GUID());
    EXPECT_NE(reader->Networks.Item(1)->Layers().Item(2)->Nodes().Item(1)->GUID, car["Start"]->GUID);
    EXPECT_FALSE(reader->Dirty());
    EXPECT_TRUE(reader->DisplayOverview);
    EXPECT_EQ(reader->ActiveNetwork(), reader->Overview);
}

TEST_F(Documents, NestedLevelsAreTakenFromTheDocumentInOneSearchOfIt)
{
    // A chain of 300 levels, each network opening the next from its one node.
    std::vector<std::unique_ptr<NetworkBuilder>> levels;
    std::vector<std::shared_ptr<clsNetwork>> networks;
    for (int i = 0; i <= 300; ++i) {
        levels.push_back(std::make_unique<NetworkBuilder>(std::initializer_list<const char*> {"Level"}));
        networks.push_back(levels.back()->network);
        if (i > 0)
            openLowerLevel((*levels[i - 1])["Level"], networks[i - 1], networks[i], (*levels[i])["Level"]);
    }
    useNetworks(networks);
    const QString file = testFile(QStringLiteral("chain.xml"));
    networks.front()->setFileName(file);
    ASSERT_TRUE(control->FileSave());

    QString document = QString::fromUtf8(fileBytes(file));
    QString top = basXML::ExtractXMLElement(document, QStringLiteral("kelvanenetwork"));
    ctlPelnet reader;
    ASSERT_TRUE(reader.Network()->FileOpen(top, true));
    basXML::XMLElementWalker rest(document, QStringLiteral("kelvanenetwork"));
    EXPECT_TRUE(reader.LowerLevelNetworksOpen(rest, true, reader.Network()));
    ASSERT_EQ(reader.Networks.Count(), 301);
    EXPECT_EQ(reader.Networks.Item(301)->Layers().Item(1)->Nodes().Item(1)->HigherLevelNodes.Count(), 1);
    // The rest of the document is gone over a few times in all, not once for each level.
    EXPECT_LE(rest.searched(), 3 * document.size());
}

TEST_F(Documents, HiddenOverviewIsBuiltButTheRootStaysShown)
{
    const QString file = testFile(QStringLiteral("car.xml"));
    car.network->setFileName(file);
    ASSERT_TRUE(control->FileSave());
    const auto reader = opened(file, true);
    EXPECT_TRUE(reader->Overview);
    EXPECT_FALSE(reader->DisplayOverview);
    EXPECT_EQ(reader->ActiveNetwork(), reader->Networks.Item(1));
}

TEST_F(Documents, NamelessNetworkTakesTheHostsCaption)
{
    const QString file = testFile(QStringLiteral("nameless.xml"));
    car.network->Name()->setText(QString());
    car.network->setFileName(file);
    ASSERT_TRUE(control->FileSave());
    const auto reader = opened(file);
    EXPECT_EQ(reader->Network()->Name()->Text(), QStringLiteral("Kelvane"));
}

TEST_F(Documents, SharedLowerLevelIsWrittenOnceAndLinkedTwice)
{
    NetworkBuilder top({"X Y", "Z"}), shared({"S"});
    openLowerLevel(top["X"], top.network, shared.network, shared["S"]);
    openLowerLevel(top["Y"], top.network, shared.network, shared["S"]);
    useNetworks({top.network, shared.network});
    const QString file = testFile(QStringLiteral("shared.xml"));
    top.network->setFileName(file);
    ASSERT_TRUE(control->FileSave());
    EXPECT_EQ(QString::fromUtf8(fileBytes(file)).count(QStringLiteral("<kelvanenetwork>")), 2);

    const auto reader = opened(file);
    ASSERT_EQ(reader->Networks.Count(), 2);
    const auto lower = reader->Networks.Item(2);
    const auto x = nodeNamed(*reader->Network(), QStringLiteral("X"));
    const auto y = nodeNamed(*reader->Network(), QStringLiteral("Y"));
    EXPECT_EQ(x->LowerLevelNetwork, lower);
    EXPECT_EQ(y->LowerLevelNetwork, lower);
    EXPECT_EQ(lower->Layers().Item(1)->Nodes().Item(1)->HigherLevelNodes.Count(), 2);
}

TEST_F(Documents, LevelsThatOpenEachOtherAreSavedOnceEach)
{
    NetworkBuilder top({"T"}), low({"L"});
    openLowerLevel(top["T"], top.network, low.network, low["L"]);
    openLowerLevel(low["L"], low.network, top.network, top["T"]);
    useNetworks({top.network, low.network});
    const QString file = testFile(QStringLiteral("loop.xml"));
    top.network->setFileName(file);
    ASSERT_TRUE(control->FileSave());
    EXPECT_EQ(QString::fromUtf8(fileBytes(file)).count(QStringLiteral("<kelvanenetwork>")), 2);
}

TEST_F(Documents, ExternalFileNamesAreLookedUpBesideTheUpperKnowledgeBase)
{
    const QString folder = testFile(QString());
    const QString file = folder + QStringLiteral("kb.xml");
    NetworkBuilder top({"Bare Drive Share Relative"}), a({"A"}), b({"B"}), c({"C"}), d({"D"});
    openLowerLevel(top["Bare"], top.network, a.network, a["A"]);
    openLowerLevel(top["Drive"], top.network, b.network, b["B"]);
    openLowerLevel(top["Share"], top.network, c.network, c["C"]);
    openLowerLevel(top["Relative"], top.network, d.network, d["D"]);
    useNetworks({top.network, a.network, b.network, c.network, d.network});
    top.network->setFileName(file);
    ASSERT_TRUE(control->FileSave());
    // The save dropped the file names; put them back into the document.
    QString document = QString::fromUtf8(fileBytes(file));
    const QStringList names {"sub.xml", "C:\\kb\\b.xml", "\\\\server\\kb\\c.xml", "..\\kb\\d.xml"};
    for (const QString& name : names)
        document.replace(document.indexOf(QStringLiteral("linkedkb=''")), 11, QStringLiteral("linkedkb='%1'").arg(name));
    ASSERT_TRUE(writeFile(file, document.toUtf8()));

    const auto reader = opened(file);
    ASSERT_EQ(reader->Networks.Count(), 5);
    EXPECT_EQ(reader->Networks.Item(2)->FileName(), folder + QStringLiteral("sub.xml"));
    EXPECT_EQ(reader->Networks.Item(3)->FileName(), QStringLiteral("C:\\kb\\b.xml"));
    EXPECT_EQ(reader->Networks.Item(4)->FileName(), QStringLiteral("\\\\server\\kb\\c.xml"));
    EXPECT_EQ(reader->Networks.Item(5)->FileName(), folder + QStringLiteral("..\\kb\\d.xml"));
    EXPECT_EQ(reader->Networks.Item(5)->Name()->Text(), QString()); // the element was read, not the file
    EXPECT_EQ(reader->Networks.Item(5)->NodeCount(), 1);
}

// --- Refusals and failures ----------------------------------------------------------------------------

TEST_F(Documents, ReadOnlyDocumentIsNeitherOpenedNorSaved)
{
    const QString file = testFile(QStringLiteral("locked.xml"));
    car.network->setFileName(file);
    ASSERT_TRUE(control->FileSave());
    const QByteArray before = fileBytes(file);
    QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);

    const auto reader = opened(file);
    EXPECT_FALSE(lastOpenResult);
    EXPECT_TRUE(reader->Loaded);
    ASSERT_FALSE(ui->messageBoxes.empty());
    EXPECT_EQ(ui->messageBoxes.back().text, file + QStringLiteral(" is read only"));
    EXPECT_EQ(ui->messageBoxes.back().style, platform::msgbox::Exclamation);

    EXPECT_FALSE(control->FileSave());
    EXPECT_EQ(ui->messageBoxes.back().text, file + QStringLiteral(" is read only, unable to save file"));
    EXPECT_FALSE(control->Enabled());
    EXPECT_EQ(fileBytes(file), before);
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(Documents, SaveThatCannotWriteEverythingLeavesTheFileAndTheDocumentAsTheyWere)
{
    const QString file = testFile(QStringLiteral("car.xml"));
    car.network->setFileName(file);
    ASSERT_TRUE(control->FileSave());
    const QByteArray before = fileBytes(file);
    const auto expectUnsaved = [&](const char* why) {
        EXPECT_EQ(fileBytes(file), before) << why;
        EXPECT_TRUE(car.network->Dirty()) << why;
        EXPECT_EQ(car["ToElectrics"]->ExternalFile, QStringLiteral("electrics.qkb")) << why;
    };
    car["ToElectrics"]->ExternalFile = QStringLiteral("electrics.qkb");
    car.network->setDirty(true);
    for (const rlim_t room : {rlim_t(0), rlim_t(before.size() / 2)}) {
        const FileSizeLimit limit(room);
        EXPECT_FALSE(control->FileSave());
    }
    expectUnsaved("disk full");

    // A lower level whose own file is read-only is not written, so nothing is.
    const QString fuelFile = testFile(QStringLiteral("fuel.xml"));
    ASSERT_TRUE(writeFile(fuelFile, "fuel"));
    QFile::setPermissions(fuelFile, QFile::ReadOwner);
    fuel.network->setFileName(fuelFile);
    EXPECT_FALSE(control->FileSave());
    EXPECT_EQ(ui->messageBoxes.back().text, fuelFile + QStringLiteral(" is read only"));
    expectUnsaved("read-only lower level");
    QFile::setPermissions(fuelFile, QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(Documents, RefusedOrDamagedDocumentsDoNotOpenAndAreNotSavedOver)
{
    // Opening fails, Loaded is back, and a save the host tries all the same leaves the file.
    const auto expectRefused = [&](const QString& file, const char* why) {
        const QByteArray before = fileBytes(file);
        const auto reader = opened(file);
        EXPECT_FALSE(lastOpenResult) << why;
        EXPECT_TRUE(reader->Loaded) << why;
        EXPECT_FALSE(reader->FileSave()) << why;
        EXPECT_EQ(fileBytes(file), before) << why;
    };
    const QString xml = testFile(QStringLiteral("car.xml"));
    car.network->Password = QStringLiteral("secret");
    car.network->setFileName(xml);
    ASSERT_TRUE(control->FileSave());
    const QByteArray saved = fileBytes(xml);
    ui->queuePromptAnswer(QStringLiteral("guess"));
    expectRefused(xml, "refused password");
    EXPECT_EQ(ui->messageBoxes.back().text, QStringLiteral("Access denied"));

    QByteArray spoiled = saved;
    spoiled.replace(spoiled.indexOf("<key>") + 5, 3, "x1!");
    ASSERT_TRUE(writeFile(xml, spoiled));
    expectRefused(xml, "bad password key");
    car.network->Password.clear();
    ASSERT_TRUE(control->FileSave());
    const QByteArray plain = fileBytes(xml);
    ASSERT_TRUE(writeFile(xml, plain.left(plain.lastIndexOf("<kelvanenetwork>") + 200)));
    expectRefused(xml, "document cut short");

    const QString compound = testFile(QStringLiteral("car.qkb"));
    makeCompoundFile(compound);
    car.network->setFileName(compound);
    control->ReorderNetworks();
    ASSERT_TRUE(control->FileSave());
    {
        const auto storage = platform::structuredStorage().OpenStorage(compound, StorageMode::ReadWrite);
        const QString stream = readText(*storage, QStringLiteral("1"));
        storeText(*storage, QStringLiteral("1"), stream.left(stream.indexOf(QStringLiteral("</kelvanedocument>"))));
        storage->Commit();
    }
    expectRefused(compound, "network stream cut short");
    ASSERT_TRUE(writeFile(compound, fileBytes(compound).left(1200)));
    const auto boxes = ui->messageBoxes.size();
    expectRefused(compound, "damaged compound file");
    ASSERT_EQ(ui->messageBoxes.size(), boxes + 1); // its own error, not an empty text document
    EXPECT_EQ(ui->messageBoxes.back().style, platform::msgbox::OKOnly);
}

TEST_F(Documents, OlderTextLevelsAreFoundByAbsolutePathAndKeptWhenTheirFileIsMissing)
{
    const QString folder = QFileInfo(testFile(QStringLiteral("top.qkb"))).absolutePath();
    const QString top = folder + QStringLiteral("/top.qkb");
    const QString lower = folder + QStringLiteral("/lower.qkb");
    const auto network = [](const char* name, const char* nodes) {
        return QStringLiteral("Knowledge base file}\r\nFormat 3}\r\n{\r\nNAME = \"%1\";\r\nLAYERS = 1;\r\nNODES = 1;\r\n}\r\n%2")
            .arg(QString::fromLatin1(name), QString::fromLatin1(nodes))
            .toLatin1();
    };
    ASSERT_TRUE(writeFile(top, network("Top", "{\r\nNAME = \"Gate\";\r\nUbo_External = True;\r\n"
                                              "Ubo_External_File = \"lower.qkb\";\r\nUbo_External_GUID = \"L1\";\r\n"
                                              "POSITION = (1,1);\r\n}\r\n")));
    ASSERT_TRUE(writeFile(lower, network("Lower", "{\r\nNAME = \"Inside\";\r\nUbo_GUID = \"L1\";\r\nPOSITION = (1,1);\r\n}\r\n")));
    const auto reader = opened(top);
    ASSERT_TRUE(lastOpenResult);
    ASSERT_EQ(networkNames(*reader), std::vector<std::string>({"Top", "Lower"}));
    EXPECT_EQ(nodeNamed(*reader->Network(), QStringLiteral("Gate"))->LowerLevelNode->Name()->Text(), QStringLiteral("Inside"));

    // Without its file the node keeps its references; the save leaves no empty network in
    // its place, and once the file is back the level opens again.
    ASSERT_TRUE(QFile::rename(lower, lower + QStringLiteral(".away")));
    const auto without = opened(top);
    ASSERT_TRUE(lastOpenResult);
    const auto gate = nodeNamed(*without->Network(), QStringLiteral("Gate"));
    EXPECT_EQ(without->Networks.Count(), 1);
    EXPECT_EQ(gate->ExternalFile, lower);
    EXPECT_EQ(gate->ExternalGUID(), QStringLiteral("L1"));
    const QString xml = folder + QStringLiteral("/top.xml");
    without->Network()->setFileName(xml);
    ASSERT_TRUE(without->FileSave());
    EXPECT_EQ(QString::fromUtf8(fileBytes(xml)).count(QStringLiteral("<kelvanenetwork>")), 1);
    ASSERT_TRUE(QFile::rename(lower + QStringLiteral(".away"), lower));
    const auto again = opened(xml);
    ASSERT_TRUE(lastOpenResult);
    EXPECT_EQ(networkNames(*again), std::vector<std::string>({"Top", "Lower"}));
}

TEST_F(Documents, MissingDocumentFailsQuietly)
{
    for (const char* name : {"missing.xml", "missing.qkb"}) {
        const auto reader = opened(testFile(QString::fromLatin1(name)));
        EXPECT_FALSE(lastOpenResult) << name;
        EXPECT_FALSE(reader->Loaded) << name;
    }
    EXPECT_TRUE(ui->messageBoxes.empty());
}

TEST_F(Documents, KnowledgeBaseNameHoldingPlainXMLOpensAsXML)
{
    const QString xml = testFile(QStringLiteral("car.xml"));
    car.network->setFileName(xml);
    ASSERT_TRUE(control->FileSave());
    const QString disguised = testFile(QStringLiteral("car.qkb"));
    ASSERT_TRUE(QFile::copy(xml, disguised));
    const auto reader = opened(disguised);
    EXPECT_TRUE(lastOpenResult);
    EXPECT_EQ(reader->Networks.Count(), 4);
    EXPECT_FALSE(reader->Network()->Structured);
}

// --- Compound files -------------------------------------------------------------------------------

TEST_F(Documents, CompoundFileKeepsTheNetworksTheirGUIDsAndThePictures)
{
    const QString file = testFile(QStringLiteral("car.qkb"));
    makeCompoundFile(file);
    car.network->setFileName(file);
    control->ReorderNetworks(); // the stream of each network is named by its position
    control->SplashFile = pngBytes(Qt::red);
    control->BackgroundFile = pngBytes(Qt::blue);
    ASSERT_TRUE(control->FileSave());
    EXPECT_TRUE(car["ToElectrics"]->ExternalFile == QStringLiteral("electrics.qkb")); // kept

    form.caption.clear();
    const auto reader = opened(file);
    EXPECT_TRUE(lastOpenResult);
    EXPECT_TRUE(reader->Loaded);
    expectLevelsLinked(*reader);
    EXPECT_EQ(reader->Network()->GUID(), car.network->GUID());
    EXPECT_EQ(reader->Networks.Item(3)->GUID(), battery.network->GUID());
    EXPECT_EQ(form.caption, QStringLiteral("Car")); // a named knowledge base names the window
    EXPECT_EQ(reader->SplashFile, control->SplashFile);
    EXPECT_EQ(reader->BackgroundFile, control->BackgroundFile);
    EXPECT_EQ(reader->Splash().pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(reader->Background().pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_TRUE(reader->DisplayOverview);
}

class CompoundStreams : public Documents {
protected:
    CompoundStreams()
    {
        memory->files()[kFile] = platform::StorageEntry::emptyRoot();
        const auto storage = memory->OpenStorage(kFile, StorageMode::ReadWrite);
        for (const char* name : {"Picture", "Background", "GUID", "Networks"})
            storeText(*storage, QString::fromLatin1(name), QString());
        storage->Commit();
        car.network->setFileName(kFile);
        control->ReorderNetworks();
    }
    QString stream(const char* name) const { return memory->streamText(kFile, QString::fromLatin1(name)); }

    const QString kFile = QStringLiteral("memory.qkb");
    platform::ScopedService<platform::StructuredStorage, platform::doubles::MemoryStructuredStorage> memory;
};

TEST_F(CompoundStreams, FixedAndNumberedStreamsAreWritten)
{
    ASSERT_TRUE(control->FileSave());
    EXPECT_EQ(stream("Networks"), QStringLiteral("4"));
    EXPECT_EQ(stream("GUID"), car.network->GUID());
    EXPECT_EQ(stream("GUID3"), fuel.network->GUID()); // breadth first after the reordering
    EXPECT_EQ(stream("Picture"), QStringLiteral("<<END OF FILE>>"));
    EXPECT_TRUE(memory->calls().contains(QStringLiteral("CreateStream GUID4 17")));
    EXPECT_TRUE(stream("3").contains(QStringLiteral("<string>Fuel</string>")));
}

TEST_F(CompoundStreams, ShorterGUIDOverALongerOneStillOpens)
{
    const QString longGUID = car.network->GUID() + QStringLiteral("-EXTRA-CHARACTERS");
    car.network->setGUID(longGUID);
    ASSERT_TRUE(control->FileSave());
    car.network->setGUID(QStringLiteral("SHORT"));
    ASSERT_TRUE(control->FileSave());
    EXPECT_EQ(stream("GUID"), QStringLiteral("SHORT") + QString(longGUID.size() - 5, QChar(u'\0')));
    const auto reader = opened(kFile);
    EXPECT_EQ(reader->Network()->GUID(), QStringLiteral("SHORT"));
    EXPECT_EQ(reader->Networks.Count(), 4);
}

TEST_F(CompoundStreams, PictureStreamsWithoutTheEndMarkGiveNoPicture)
{
    ASSERT_TRUE(control->FileSave());
    const auto storage = memory->OpenStorage(kFile, StorageMode::ReadWrite);
    storeText(*storage, QStringLiteral("Picture"), pngBytes(Qt::red));
    storage->Commit();
    const auto reader = opened(kFile);
    EXPECT_TRUE(lastOpenResult);
    EXPECT_TRUE(reader->SplashFile.isEmpty());
    EXPECT_TRUE(reader->Splash().isNull());
}

TEST_F(CompoundStreams, GUIDBehindABinaryHeaderIsFound)
{
    ASSERT_TRUE(control->FileSave());
    const auto storage = memory->OpenStorage(kFile, StorageMode::ReadWrite);
    storeText(*storage, QStringLiteral("GUID"), QStringLiteral("\x08\x00\x2c\x00") + car.network->GUID() + QStringLiteral("\0\0"));
    storage->Commit();
    const auto reader = opened(kFile);
    EXPECT_EQ(reader->Networks.Count(), 4);
}

TEST_F(CompoundStreams, OlderFileWhoseGUIDCannotBeReadBySizeOpensFromTheStoredString)
{
    ASSERT_TRUE(control->FileSave());
    const QString guid = car.network->GUID();
    const auto storage = memory->OpenStorage(kFile, StorageMode::ReadWrite);
    storeText(*storage, QStringLiteral("GUID"), QChar(char16_t(guid.size())) + QString(3, QChar(u'\0')) + guid);
    storage->Commit();
    memory->failOn(QStringLiteral("GetSize"), QStringLiteral("GUID"));
    memory->calls().clear();

    const auto reader = opened(kFile);
    EXPECT_TRUE(lastOpenResult);
    expectLevelsLinked(*reader);
    EXPECT_EQ(reader->Network()->GUID(), guid);
    EXPECT_EQ(memory->calls().filter(QStringLiteral("OpenStorage")).size(), 2); // opened afresh for the string
    EXPECT_TRUE(memory->calls().contains(QStringLiteral("GetString GUID")));

    memory->failOn(QStringLiteral("GetString"));
    opened(kFile);
    EXPECT_FALSE(lastOpenResult);
}

TEST_F(CompoundStreams, NewOrPartialFileGetsTheFixedStreamsItLacks)
{
    for (const bool partial : {false, true}) {
        memory->files().erase(kFile);
        if (partial) {
            memory->files()[kFile] = platform::StorageEntry::emptyRoot();
            const auto storage = memory->OpenStorage(kFile, StorageMode::ReadWrite);
            storeText(*storage, QStringLiteral("Picture"), QString());
            storage->Commit();
        }
        ASSERT_TRUE(control->FileSave()) << partial;
        EXPECT_EQ(stream("Background"), QStringLiteral("<<END OF FILE>>"));
        EXPECT_EQ(stream("Networks"), QStringLiteral("4"));
        const auto reader = opened(kFile);
        EXPECT_TRUE(lastOpenResult);
        expectLevelsLinked(*reader);
    }
}

TEST_F(CompoundStreams, FailedCommitKeepsTheDocumentChanged)
{
    car.network->setDirty(false);
    fuel.network->setDirty(true);
    memory->failOn(QStringLiteral("Commit"));
    EXPECT_FALSE(control->FileSave());
    EXPECT_TRUE(fuel.network->Dirty());
    EXPECT_FALSE(car.network->Dirty());
}

TEST_F(CompoundStreams, LevelsThatOpenThemselvesAreReadOnce)
{
    // Electrics' stream is listed under a GUID its own node Again opens again.
    const auto again = electrics.node(1, "Again");
    again->setExternal(true);
    again->ExternalNetworkGUID = QStringLiteral("LOOP");
    car["ToElectrics"]->ExternalNetworkGUID = QStringLiteral("LOOP");
    ASSERT_TRUE(control->FileSave());
    const auto storage = memory->OpenStorage(kFile, StorageMode::ReadWrite);
    storeText(*storage, QStringLiteral("GUID2"), QStringLiteral("LOOP"));
    storage->Commit();

    const auto reader = opened(kFile);
    EXPECT_TRUE(lastOpenResult);
    EXPECT_EQ(networkNames(*reader), std::vector<std::string>({"Car", "Electrics", "Battery", "Fuel"}));
}

// --- The knowledge server --------------------------------------------------------------------------

TEST_F(Documents, ServerDocumentOpensWithItsLevelsAndKeepsItsGUIDs)
{
    const QString file = testFile(QStringLiteral("car.xml"));
    car.network->setFileName(file);
    ASSERT_TRUE(control->FileSave());
    const auto session = std::make_shared<doubles::ScriptedServerSession>();
    session->documents[QStringLiteral("KB")] = QString::fromUtf8(fileBytes(file));

    ctlPelnet reader;
    reader.setServerSession(session);
    EXPECT_TRUE(reader.ServerConnect(QStringLiteral("KB"), nullptr, true));
    EXPECT_EQ(session->reads, std::vector<QString>({QStringLiteral("KB")}));
    EXPECT_TRUE(reader.Loaded);
    expectLevelsLinked(reader);
    EXPECT_EQ(reader.Network()->GUID(), car.network->GUID());
    EXPECT_TRUE(reader.Overview);
    EXPECT_FALSE(reader.DisplayOverview);

    ctlPelnet unknown;
    unknown.setServerSession(session);
    EXPECT_FALSE(unknown.ServerConnect(QStringLiteral("NONE")));
    EXPECT_TRUE(unknown.Loaded);
}
