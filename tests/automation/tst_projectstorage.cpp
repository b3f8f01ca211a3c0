// Where a knowledge base keeps its macro project: a storage of its own inside a compound
// document, or the ".vba" file beside an XML document; what it does not know travels unchanged.

#include "tests/automation/AutomationTestSupport.h"

#include "automation/APCIntegration.h"
#include "automation/frmMacroEditor.h"
#include "platform/CompoundDirectory.h"
#include "platform/CompoundFile.h"
#include "platform/doubles/ScriptedFileDialogs.h"
#include "tests/support/CraftedCompoundFile.h"
#include "tests/support/ErrorAssertions.h"
#include "tests/support/IndependentOleReader.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

using namespace kelvane;
using platform::StorageEntry;

namespace {

QString scratch(const QString& name) { return test::scratchFolder() + u'/' + name; }

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

StorageEntry stream(const QString& name, const QByteArray& bytes)
{
    StorageEntry entry;
    entry.name = name;
    entry.bytes = bytes;
    return entry;
}

// Another program's macros: a storage with a class identifier, a stream and a storage inside.
StorageEntry foreignMacros()
{
    StorageEntry foreign = StorageEntry::emptyRoot();
    foreign.name = QStringLiteral("VBA");
    foreign.classId = QByteArray("0123456789abcdef");
    foreign.children.push_back(stream(QStringLiteral("dir"), QByteArray("\x01\x02\x00\xff", 4)));
    StorageEntry inner = StorageEntry::emptyRoot();
    inner.name = QStringLiteral("PROJECTwm");
    inner.children.push_back(stream(QStringLiteral("Module1"), "Attribute VB_Name"));
    foreign.children.push_back(inner);
    return foreign;
}

bool sameEntry(const StorageEntry& a, const StorageEntry& b)
{
    if (a.name != b.name || a.isStorage != b.isStorage || a.bytes != b.bytes || a.classId != b.classId ||
        a.children.size() != b.children.size())
        return false;
    for (std::size_t i = 0; i < a.children.size(); ++i) {
        const StorageEntry* other = b.findChild(a.children[i].name);
        if (!other || !sameEntry(a.children[i], *other))
            return false;
    }
    return true;
}

void writeCompound(const QString& path, const StorageEntry& root)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(platform::compoundfile::write(root));
}

// Our own storage as a later version might write it: the index, the modules, and entries this
// version does not know, inside it and inside its modules.
StorageEntry ourStorageWithMore(const QByteArray& index, std::vector<StorageEntry> modules)
{
    StorageEntry macros = StorageEntry::emptyRoot();
    macros.name = QStringLiteral("Macros");
    macros.children.push_back(stream(QStringLiteral("Project"), index));
    StorageEntry moduleStorage = StorageEntry::emptyRoot();
    moduleStorage.name = QStringLiteral("Modules");
    moduleStorage.children = std::move(modules);
    StorageEntry attic = StorageEntry::emptyRoot();
    attic.name = QStringLiteral("Attic");
    attic.children.push_back(stream(QStringLiteral("Old"), QByteArray("\x00\x01old", 5)));
    moduleStorage.children.push_back(attic);
    macros.children.push_back(moduleStorage);
    macros.children.push_back(stream(QStringLiteral("Notes"), QByteArray("notes of a later version")));
    return macros;
}

class ProjectStorage : public test::AutomationTest {
protected:
    // The live knowledge base of a two-node network kept in `fileName`, its project holding `code`.
    std::shared_ptr<KnowledgeBase> documentWithCode(const QString& fileName, const QString& code)
    {
        network->setFileName(fileName);
        const auto knowledgeBase = startWith(network);
        knowledgeBase->Project()->addModule(QStringLiteral("Module1"), code);
        knowledgeBase->Project()->addModule(QStringLiteral("Events"), QStringLiteral("// caf\u00e9 \u20ac"));
        return knowledgeBase;
    }

    // The project a new knowledge base opens for the document.
    std::shared_ptr<MacroProject> reopened(const QString& fileName)
    {
        auto knowledgeBase = KnowledgeBase::create();
        knowledgeBase->setNetwork(network);
        knowledgeBase->OpenProject(fileName, true);
        return knowledgeBase->Project();
    }

    std::shared_ptr<clsNetwork> network = test::twoNodeNetwork();
};

} // namespace

TEST_F(ProjectStorage, AnXMLDocumentKeepsItsProjectInTheFileBesideIt)
{
    const QString document = scratch(QStringLiteral("cars.xml"));
    const auto knowledgeBase = documentWithCode(document, QStringLiteral("function KnowledgeBase_Load(e) {}"));
    ASSERT_TRUE(knowledgeBase->SaveProj({}, nullptr));
    EXPECT_TRUE(QFile::exists(document));
    ASSERT_TRUE(QFile::exists(scratch(QStringLiteral("cars.vba"))));

    const auto project = reopened(document);
    EXPECT_EQ(project->modules(), knowledgeBase->Project()->modules());
    EXPECT_EQ(project->Name(), QStringLiteral("Two nodes")) << "named after the knowledge base, blanks kept";
    EXPECT_TRUE(ui->messageBoxes.empty());

    // A project that cannot be written keeps the document from being saved.
    network->setFileName(scratch(QStringLiteral("no such folder/cars.xml")));
    EXPECT_FALSE(knowledgeBase->SaveProj({}, nullptr));
    EXPECT_FALSE(QFile::exists(scratch(QStringLiteral("no such folder/cars.xml"))));

    // A document without a side file gets a new project named after it, blanks kept.
    network->Name()->setText(QStringLiteral("Car will not start"));
    EXPECT_EQ(reopened(scratch(QStringLiteral("other.xml")))->Name(), QStringLiteral("Car will not start"));
}

TEST_F(ProjectStorage, ACompoundDocumentKeepsItsProjectInAStorageOfItsOwn)
{
    const QString document = scratch(QStringLiteral("cars.qkb"));
    const auto knowledgeBase = documentWithCode(document, QStringLiteral("var answer = 42;"));
    ASSERT_TRUE(knowledgeBase->SaveProj({}, nullptr));

    const StorageEntry root = platform::compoundfile::read(bytesOf(document));
    const StorageEntry* macros = root.findChild(QStringLiteral("Macros"));
    ASSERT_TRUE(macros && macros->isStorage);
    EXPECT_TRUE(root.findChild(QStringLiteral("GUID"))) << "the document was written into the same file";
    EXPECT_EQ(reopened(document)->modules(), knowledgeBase->Project()->modules());

    // The document opens as it was saved.
    const auto shown = clsNetwork::create();
    shown->setFileName(document);
    window->diagram->Networks.Clear();
    window->diagram->setNetwork(shown);
    window->diagram->Networks.Add(shown);
    ASSERT_TRUE(window->diagram->FileOpen());
    EXPECT_EQ(shown->Name()->Text(), QStringLiteral("Two nodes"));

    // An independent reader finds the project's storage and its streams.
    const auto python = test::pythonWithOlefile();
    if (!python)
        GTEST_SKIP() << "python3 with the olefile module is not installed";
    QProcess reader;
    reader.start(*python, {QStringLiteral("-c"),
                          QStringLiteral("import json, sys, olefile\n"
                                         "with olefile.OleFileIO(sys.argv[1]) as ole:\n"
                                         "    print(json.dumps(['/'.join(e) for e in ole.listdir(storages=True)]))\n"),
                          document});
    ASSERT_TRUE(reader.waitForFinished(60000));
    ASSERT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().constData();
    const QJsonArray entries = QJsonDocument::fromJson(reader.readAllStandardOutput()).array();
    for (const char* expected : {"Macros", "Macros/Project", "Macros/Modules", "Macros/Modules/Module1",
                                 "Macros/Modules/Events", "GUID", "Networks"})
        EXPECT_TRUE(entries.contains(QString::fromLatin1(expected))) << expected;
}

TEST_F(ProjectStorage, MacrosOfAnotherKindSurviveEverySaveByteForByte)
{
    // A compound document and a side file, each carrying another program's macros.
    const QString document = scratch(QStringLiteral("foreign.qkb"));
    const QString saved = scratch(QStringLiteral("copy.qkb"));
    documentWithCode(document, QStringLiteral("var x = 1;"))->SaveProj({}, nullptr);
    StorageEntry root = platform::compoundfile::read(bytesOf(document));
    root.children.push_back(foreignMacros());
    root.children.push_back(stream(QStringLiteral("\x05SummaryInformation"), QByteArray("\xfe\xff\x00\x00", 4)));
    QFile file(document);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(platform::compoundfile::write(root));
    file.close();

    network->setFileName(document);
    const auto knowledgeBase = KnowledgeBase::create();
    knowledgeBase->setNetwork(network);
    host().setLive(knowledgeBase);
    knowledgeBase->OpenProject({}, true);
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_TRUE(ui->messageBoxes.front().text.contains(QStringLiteral("macros of another kind")));

    network->setFileName(saved);
    ASSERT_TRUE(knowledgeBase->SaveProj({}, nullptr));
    const StorageEntry copy = platform::compoundfile::read(bytesOf(saved));
    ASSERT_TRUE(copy.findChild(QStringLiteral("VBA")));
    EXPECT_TRUE(sameEntry(*copy.findChild(QStringLiteral("VBA")), foreignMacros()));
    EXPECT_TRUE(copy.findChild(QStringLiteral("\x05SummaryInformation")));
    EXPECT_TRUE(copy.findChild(QStringLiteral("Macros")));
    knowledgeBase->ReopenProject(saved);
    EXPECT_EQ(ui->messageBoxes.size(), 1u) << "told once";
    // Once per document in a run, however often it is opened.
    network->setFileName(document);
    reopened(document);
    reopened(document);
    EXPECT_EQ(ui->messageBoxes.size(), 1u) << "told once per document";
    reopened(saved);
    EXPECT_EQ(ui->messageBoxes.size(), 2u) << "another document is told of its own";

    // The same through a side file.
    const QString side = scratch(QStringLiteral("foreign.vba"));
    StorageEntry vba = StorageEntry::emptyRoot();
    vba.children.push_back(foreignMacros());
    QFile sideFile(side);
    ASSERT_TRUE(sideFile.open(QIODevice::WriteOnly));
    sideFile.write(platform::compoundfile::write(vba));
    sideFile.close();
    network->setFileName(scratch(QStringLiteral("foreign.xml")));
    knowledgeBase->OpenProject();
    network->setFileName(scratch(QStringLiteral("copy.xml")));
    ASSERT_TRUE(knowledgeBase->SaveProj({}, nullptr));
    const StorageEntry sideCopy = platform::compoundfile::read(bytesOf(scratch(QStringLiteral("copy.vba"))));
    EXPECT_TRUE(sameEntry(*sideCopy.findChild(QStringLiteral("VBA")), foreignMacros()));
}

TEST_F(ProjectStorage, AProjectThatCannotBeReadIsToldAndNeverLost)
{
    const QString document = scratch(QStringLiteral("damaged.xml"));
    const auto knowledgeBase = documentWithCode(document, QStringLiteral("var kept = true;"));
    const auto modules = knowledgeBase->Project()->modules();
    QFile damaged(scratch(QStringLiteral("damaged.vba")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("not a compound file");
    damaged.close();

    // Reading it again after a save that left a damaged file keeps the project in memory.
    knowledgeBase->ReopenProject(document);
    EXPECT_EQ(knowledgeBase->Project()->modules(), modules);

    // Opening it tells the user and starts a new project.
    EXPECT_TRUE(reopened(document)->modules().isEmpty());
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes.front().text,
              QStringLiteral("This file's VBA is read only, already opened exclusively or is the wrong version"));

    // The project of a read-only document is read, and marked read-only.
    ASSERT_TRUE(knowledgeBase->SaveProj({}, nullptr));
    QFile::setPermissions(scratch(QStringLiteral("damaged.vba")), QFile::ReadOwner);
    const auto readOnly = reopened(document);
    EXPECT_EQ(readOnly->modules(), modules);
    EXPECT_TRUE(readOnly->readOnly);
    QFile::setPermissions(scratch(QStringLiteral("damaged.vba")), QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(ProjectStorage, AProjectOfMoreModulesThanAFileHoldsIsRefusedAtSaveAndAtOpen)
{
    // As many modules as a file holds entries: with the storages that hold them, too many.
    constexpr quint32 kModules = platform::compoundfile::CompoundDirectory::kMaxEntries;
    const QString document = scratch(QStringLiteral("many.xml"));
    const auto knowledgeBase = documentWithCode(document, QStringLiteral("var kept = true;"));
    ASSERT_TRUE(knowledgeBase->SaveProj({}, nullptr));
    const QString sideFile = scratch(QStringLiteral("many.vba"));
    const QByteArray saved = bytesOf(sideFile);

    // Saving so many is refused before anything is written: the file holds what it held.
    QList<MacroModule> modules;
    for (quint32 i = 0; i < kModules; ++i)
        modules.append({QStringLiteral("Module%1").arg(i), QStringLiteral("var n = %1;").arg(i)});
    knowledgeBase->Project()->setModules(modules);
    EXPECT_FALSE(knowledgeBase->SaveProj({}, nullptr));
    EXPECT_EQ(bytesOf(sideFile), saved);
    EXPECT_EQ(test::errorNumberOf([&] { projectstorage::writeFile(sideFile, *knowledgeBase->Project()); }),
              err::PathFileAccess);
    EXPECT_EQ(bytesOf(sideFile), saved);

    // A file of that many, its modules in one chain as earlier versions wrote them, is told
    // about as a damaged one.
    QFile chained(sideFile);
    ASSERT_TRUE(chained.open(QIODevice::WriteOnly));
    chained.write(test::crafted::compoundFile(test::crafted::chainedModules(kModules)));
    chained.close();
    EXPECT_TRUE(reopened(document)->modules().isEmpty());
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes.front().text,
              QStringLiteral("This file's VBA is read only, already opened exclusively or is the wrong version"));
}

TEST_F(ProjectStorage, TheEditorsSaveOfAnUnnamedDocumentAsksForAKnowledgeBaseName)
{
    platform::ScopedService<platform::FileDialogs, platform::doubles::ScriptedFileDialogs> dialogs;
    network->setFileName(scratch(QStringLiteral("template.qkt")));
    const auto knowledgeBase = startWith(network);
    network->setFileName({});
    dialogs->queueAnswer(scratch(QStringLiteral("unnamed")));
    knowledgeBase->ApcProject_Save();
    ASSERT_EQ(dialogs->calls.size(), 1u);
    EXPECT_EQ(dialogs->calls.front().request.filterIndex, 1);
    EXPECT_TRUE(dialogs->calls.front().request.filter.startsWith(QStringLiteral("Knowledge Bases (*.qkb)|*.qkb|")));
    ASSERT_FALSE(window->calls.isEmpty());
    EXPECT_EQ(window->calls.last(), QStringLiteral("SaveDocumentAs ") + scratch(QStringLiteral("unnamed.qkb")));

    // A read-only document is refused.
    network->setFileName(scratch(QStringLiteral("unnamed.qkb")));
    QFile locked(network->FileName());
    ASSERT_TRUE(locked.open(QIODevice::WriteOnly));
    locked.close();
    locked.setPermissions(QFile::ReadOwner);
    window->calls.clear();
    knowledgeBase->ApcProject_Save();
    EXPECT_TRUE(window->calls.isEmpty());
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes.front().text, network->FileName() + QStringLiteral(" is read only, unable to save file"));
}

TEST_F(ProjectStorage, EveryEntryTheProjectDoesNotOwnSurvivesEverySaveByteForByte)
{
    const QString document = scratch(QStringLiteral("later.qkb"));
    documentWithCode(document, QStringLiteral("var x = 1;"))->SaveProj({}, nullptr);
    StorageEntry root = platform::compoundfile::read(bytesOf(document));
    root.children.eraseIf([](const StorageEntry& entry) { return entry.name == QStringLiteral("Macros"); });
    root.children.push_back(ourStorageWithMore("Name=Later\r\nModule=Module1\r\n",
                                               {stream(QStringLiteral("Module1"), "var later = true;")}));
    root.children.push_back(foreignMacros());
    root.children.push_back(stream(QStringLiteral("Tool settings"), QByteArray("\xff\xfe", 2)));
    writeCompound(document, root);

    network->setFileName(document);
    const auto knowledgeBase = KnowledgeBase::create();
    knowledgeBase->setNetwork(network);
    host().setLive(knowledgeBase);
    knowledgeBase->OpenProject({}, false);
    ASSERT_EQ(knowledgeBase->Project()->modules().size(), 1);
    knowledgeBase->Project()->setModuleText(QStringLiteral("Module1"), QStringLiteral("var changed = true;"));

    // No new module takes the name of a storage kept among the modules.
    host().macroHost().ShowIDE();
    ui->queuePromptAnswer(QStringLiteral("attic"));
    QTest::mouseClick(host().macroHost().editor()->cmdNewModule(), Qt::LeftButton);
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_TRUE(ui->messageBoxes.front().text.contains(QStringLiteral("\"attic\""))) << qPrintable(ui->messageBoxes.front().text);
    EXPECT_EQ(knowledgeBase->Project()->modules().size(), 1);

    const QString saved = scratch(QStringLiteral("later-copy.qkb"));
    network->setFileName(saved);
    ASSERT_TRUE(knowledgeBase->SaveProj({}, nullptr));
    const StorageEntry copy = platform::compoundfile::read(bytesOf(saved));
    const StorageEntry* macros = copy.findChild(QStringLiteral("Macros"));
    ASSERT_TRUE(macros && macros->findChild(QStringLiteral("Notes")) && macros->findChild(QStringLiteral("Modules")));
    EXPECT_TRUE(sameEntry(*macros->findChild(QStringLiteral("Notes")), *root.findChild(QStringLiteral("Macros"))->findChild(QStringLiteral("Notes"))));
    const StorageEntry* attic = macros->findChild(QStringLiteral("Modules"))->findChild(QStringLiteral("Attic"));
    ASSERT_TRUE(attic);
    EXPECT_TRUE(sameEntry(*attic, *root.findChild(QStringLiteral("Macros"))->findChild(QStringLiteral("Modules"))->findChild(QStringLiteral("Attic"))));
    EXPECT_EQ(macros->findChild(QStringLiteral("Modules"))->findChild(QStringLiteral("Module1"))->bytes, QByteArray("var changed = true;"));
    ASSERT_TRUE(copy.findChild(QStringLiteral("VBA")));
    EXPECT_TRUE(sameEntry(*copy.findChild(QStringLiteral("VBA")), foreignMacros()));
    EXPECT_EQ(copy.findChild(QStringLiteral("Tool settings"))->bytes, QByteArray("\xff\xfe", 2));

    // A knowledge base whose project was taken away still carries what is not its project.
    knowledgeBase->setApcProject({});
    const QString bare = scratch(QStringLiteral("later-bare.qkb"));
    network->setFileName(bare);
    ASSERT_TRUE(knowledgeBase->SaveProj({}, nullptr));
    const StorageEntry withoutProject = platform::compoundfile::read(bytesOf(bare));
    ASSERT_TRUE(withoutProject.findChild(QStringLiteral("VBA")));
    EXPECT_TRUE(sameEntry(*withoutProject.findChild(QStringLiteral("VBA")), foreignMacros()));
    EXPECT_TRUE(withoutProject.findChild(QStringLiteral("Tool settings")));
    EXPECT_TRUE(withoutProject.findChild(QStringLiteral("GUID")));
    const StorageEntry* kept = withoutProject.findChild(QStringLiteral("Macros"));
    ASSERT_TRUE(kept && kept->findChild(QStringLiteral("Notes")) && kept->findChild(QStringLiteral("Modules")));
    EXPECT_TRUE(sameEntry(*kept->findChild(QStringLiteral("Notes")), *macros->findChild(QStringLiteral("Notes"))));
    ASSERT_TRUE(kept->findChild(QStringLiteral("Modules"))->findChild(QStringLiteral("Attic")));
    EXPECT_TRUE(sameEntry(*kept->findChild(QStringLiteral("Modules"))->findChild(QStringLiteral("Attic")), *attic));
}

TEST_F(ProjectStorage, AStorageNamedMacrosThatAnotherProgramWroteIsNeverReplaced)
{
    const QString side = scratch(QStringLiteral("theirs.vba"));
    StorageEntry theirs = foreignMacros();
    theirs.name = QStringLiteral("Macros");
    StorageEntry vba = StorageEntry::emptyRoot();
    vba.children.push_back(theirs);
    writeCompound(side, vba);
    const QByteArray before = bytesOf(side);

    const QString document = scratch(QStringLiteral("theirs.xml"));
    network->setFileName(document);
    const auto knowledgeBase = startWith(network);
    ASSERT_TRUE(knowledgeBase->Project());
    EXPECT_TRUE(knowledgeBase->Project()->modules().isEmpty());
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_TRUE(ui->messageBoxes.front().text.contains(QStringLiteral("macros of another kind")));
    ui->messageBoxes.clear();

    // A project without code leaves it as it is.
    const QString saved = scratch(QStringLiteral("theirs-copy.xml"));
    network->setFileName(saved);
    ASSERT_TRUE(knowledgeBase->SaveProj({}, nullptr));
    const StorageEntry copy = platform::compoundfile::read(bytesOf(scratch(QStringLiteral("theirs-copy.vba"))));
    ASSERT_EQ(copy.children.size(), 1u);
    EXPECT_TRUE(sameEntry(copy.children.front(), theirs));

    // A project with code is refused, with a message, and nothing is written.
    knowledgeBase->Project()->addModule(QStringLiteral("Module1"), QStringLiteral("var mine = 1;"));
    network->setFileName(document);
    ASSERT_TRUE(ui->messageBoxes.empty());
    EXPECT_FALSE(knowledgeBase->SaveProj({}, nullptr));
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_TRUE(ui->messageBoxes.front().text.contains(QStringLiteral("another program")));
    EXPECT_EQ(bytesOf(side), before);
    EXPECT_FALSE(QFile::exists(document)) << "the document is not saved without its macros";
}

TEST_F(ProjectStorage, ARepeatedModuleOrALineBreakInANameNeverSpoilsTheFile)
{
    const QString document = scratch(QStringLiteral("crafted.qkb"));
    documentWithCode(document, QStringLiteral("var x = 1;"))->SaveProj({}, nullptr);
    StorageEntry root = platform::compoundfile::read(bytesOf(document));
    root.children.eraseIf([](const StorageEntry& entry) { return entry.name == QStringLiteral("Macros"); });
    StorageEntry crafted = ourStorageWithMore("Name=Crafted\r\nModule=Module1\r\nModule=module1\r\nModule=M\r\n",
                                              {stream(QStringLiteral("Module1"), "var one = 1;"),
                                               stream(QStringLiteral("M\r\nName=Renamed"), "var two = 2;")});
    root.children.push_back(crafted);
    writeCompound(document, root);

    network->setFileName(document);
    const auto knowledgeBase = KnowledgeBase::create();
    knowledgeBase->setNetwork(network);
    host().setLive(knowledgeBase);
    knowledgeBase->OpenProject({}, false);
    const auto modules = knowledgeBase->Project()->modules();
    ASSERT_EQ(modules.size(), 2);
    EXPECT_EQ(modules.at(0), (MacroModule {QStringLiteral("Module1"), QStringLiteral("var one = 1;")}));
    EXPECT_EQ(modules.at(1), (MacroModule {QStringLiteral("M__Name=Renamed"), QStringLiteral("var two = 2;")}));
    EXPECT_EQ(knowledgeBase->Project()->Name(), QStringLiteral("Crafted"));

    // Saved and opened again, the knowledge base opens, with the same project.
    knowledgeBase->Project()->setName(QStringLiteral("Two\r\nModule=Ghost"));
    ASSERT_TRUE(knowledgeBase->SaveProj({}, nullptr));
    const auto again = reopened(document);
    EXPECT_EQ(again->modules(), modules);
    EXPECT_EQ(again->Name(), QStringLiteral("Two  Module=Ghost"));
    const auto shown = clsNetwork::create();
    shown->setFileName(document);
    window->diagram->Networks.Clear();
    window->diagram->setNetwork(shown);
    window->diagram->Networks.Add(shown);
    EXPECT_TRUE(window->diagram->FileOpen());

    // No compound file is written with two entries of one name.
    StorageEntry twice = StorageEntry::emptyRoot();
    twice.children.push_back(stream(QStringLiteral("Module1"), "a"));
    twice.children.push_back(stream(QStringLiteral("MODULE1"), "b"));
    EXPECT_EQ(test::errorNumberOf([&] { platform::compoundfile::write(twice); }), err::PathFileAccess);
    EXPECT_EQ(test::errorNumberOf([&] { knowledgeBase->Project()->addModule(QStringLiteral("A\nB")); }),
              err::InvalidProcedureCall);
}

TEST_F(ProjectStorage, AProjectIsWrittenToAndReadFromAFileOfItsOwn)
{
    platform::ScopedService<platform::FileDialogs, platform::doubles::ScriptedFileDialogs> dialogs;
    const QString document = scratch(QStringLiteral("exported.xml"));
    const auto knowledgeBase = documentWithCode(document, QStringLiteral("var exported = true;"));
    APCIntegration& macros = host().macroHost();
    EXPECT_FALSE(APCIntegration::HasStorage(knowledgeBase->Project())) << "never stored yet";
    ASSERT_TRUE(knowledgeBase->SaveProj({}, nullptr));
    knowledgeBase->ReopenProject(document);
    EXPECT_TRUE(APCIntegration::HasStorage(knowledgeBase->Project()));
    EXPECT_FALSE(knowledgeBase->Project()->changed());

    // Written alone to a file the user names; ".VBA" is added to a name without an extension.
    const QString exported = scratch(QStringLiteral("macros"));
    QFile::remove(exported + QStringLiteral(".VBA"));
    dialogs->queueAnswer(exported);
    ASSERT_TRUE(macros.SaveProj(*knowledgeBase->Project()));
    ASSERT_EQ(dialogs->calls.size(), 1u);
    EXPECT_EQ(dialogs->calls.front().kind, platform::doubles::ScriptedFileDialogs::Kind::Save);
    EXPECT_EQ(dialogs->calls.front().request.filter, QStringLiteral("VBA Files (*.vba)|*.VBA|All Files (*.*)|*.*"));
    const StorageEntry alone = platform::compoundfile::read(bytesOf(exported + QStringLiteral(".VBA")));
    ASSERT_EQ(alone.children.size(), 1u);
    EXPECT_EQ(alone.children.front().name, QStringLiteral("Macros"));

    // An existing file is replaced only when the user says so.
    dialogs->queueAnswer(exported + QStringLiteral(".VBA"));
    ui->queueMessageBoxResult(platform::msgbox::No);
    EXPECT_FALSE(macros.SaveProj(*knowledgeBase->Project()));
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_TRUE(ui->messageBoxes.front().text.endsWith(QStringLiteral(" already exists.\rDo you want to replace it?")));

    // Read into another project, which then has changes to save with its document.
    MacroProject other(QStringLiteral("Other"), {}, std::chrono::seconds(1));
    dialogs->queueAnswer(std::nullopt);
    EXPECT_FALSE(macros.OpenProj(other));
    dialogs->queueAnswer(exported + QStringLiteral(".VBA"));
    ASSERT_TRUE(macros.OpenProj(other));
    EXPECT_EQ(other.modules(), knowledgeBase->Project()->modules());
    EXPECT_EQ(other.Name(), knowledgeBase->Project()->Name());
    EXPECT_TRUE(other.changed());
    EXPECT_EQ(dialogs->calls.back().kind, platform::doubles::ScriptedFileDialogs::Kind::Open);

    // A file that holds no project is told, and changes nothing.
    dialogs->queueAnswer(document);
    EXPECT_FALSE(macros.OpenProj(other));
    EXPECT_EQ(other.modules(), knowledgeBase->Project()->modules());
    EXPECT_EQ(ui->messageBoxes.size(), 2u);
}
