// The KnowledgeBase object as automation callers reach it: its interface, its events with their
// by-reference arguments, and the members that act on the main window.

#include "tests/automation/AutomationTestSupport.h"

#include "automation/CApplication.h"
#include "automation/ClipboardObjects.h"
#include "automation/ProgramClasses.h"
#include "automation/CollectionObject.h"
#include "automation/DispIds.h"
#include "automation/KelvaneTypeLibrary.h"
#include "automation/LastModifiedDate.h"
#include "automation/MenuItem.h"
#include "automation/NodeObject.h"
#include "automation/ObjectModel.h"
#include "platform/automation/Activator.h"
#include "platform/automation/EventConnection.h"
#include "platform/doubles/MemoryRegistry.h"
#include "platform/automation/EventSink.h"
#include "tests/support/ErrorAssertions.h"

using namespace kelvane;
using namespace kelvane::automation;
using platform::automation::DispatchObject;
namespace kb = kelvane::dispid::knowledgebase;

namespace {

// Lets each event's handler change its arguments.
class AnsweringSink : public platform::automation::EventSink {
public:
    std::function<void(const QString&, QList<Variant>&)> answer;
    QStringList heard;
    void onEvent(platform::automation::DispId, const QString& name, QList<Variant>& arguments) override
    {
        heard << name;
        answer(name, arguments);
    }
};

qint32 countOf(const DispatchObject& collection) { return collection.get(QStringLiteral("Count")).toDouble(); }

class KnowledgeBaseObject : public test::AutomationTest {
protected:
    std::shared_ptr<clsNetwork> network = test::twoNodeNetwork();
};

} // namespace

TEST_F(KnowledgeBaseObject, MembersAnswerBySlotIdentifierAndByName)
{
    const auto& members = membersOf(QStringLiteral("KnowledgeBase")).members;
    ASSERT_EQ(members.size(), 34);
    EXPECT_EQ(members.first().name, QStringLiteral("GUID"));
    EXPECT_EQ(members.at(5).id, kb::OpenFile);
    EXPECT_EQ(members.last().id, kb::LastModified);
    ASSERT_EQ(eventsOf(QStringLiteral("KnowledgeBase"))->members.size(), 16);
    EXPECT_EQ(eventsOf(QStringLiteral("KnowledgeBase"))->members.last().name, QStringLiteral("MenuClick"));

    const DispatchObject object = startWith(network)->dispatch();
    object.put(kb::KBName, QStringLiteral("Cars"));
    EXPECT_EQ(network->Name()->Text(), QStringLiteral("Cars"));
    EXPECT_EQ(object.get(QStringLiteral("kbname")), Variant(QStringLiteral("Cars")));
    object.put(QStringLiteral("ShadowColour"), qint32(255));
    EXPECT_EQ(network->ShadowColour, 255);
    EXPECT_EQ(object.get(kb::EditMode), Variant(false));
    EXPECT_EQ(countOf(DispatchObject::fromVariant(object.get(kb::Layers))), 2);

    // A layer added through the object belongs to it.
    object.call(kb::AddLayer);
    EXPECT_EQ(network->Layers().Item(3)->KnowledgeBase.lock(), basGlobal::CurrentKnowledgeBase);

    // A node's texts and a link's evidence can be replaced, never taken away.
    const DispatchObject node = viewOf<NodeObject>(test::nodeAt(*network, 2, 1));
    const DispatchObject link = DispatchObject::fromVariant(
        DispatchObject::fromVariant(node.get(QStringLiteral("Links"))).get(QStringLiteral("Item"), {1}));
    EXPECT_EQ(test::errorNumberOf([&] { node.put(QStringLiteral("Question"), Variant()); }), err::InvalidPropertyValue);
    EXPECT_EQ(test::errorNumberOf([&] { link.put(QStringLiteral("ConnectionTo"), Variant()); }), err::InvalidPropertyValue);
    EXPECT_EQ(test::errorNumberOf([&] { node.put(QStringLiteral("Reason"), link.toVariant()); }), err::TypeMismatch);
    EXPECT_TRUE(test::nodeAt(*network, 2, 1)->Question);

    // SaveFile saves under the name it is given, which the document keeps.
    QString name = test::scratchFolder() + QStringLiteral("/saved.xml");
    object.call(kb::SaveFile, {name});
    EXPECT_EQ(network->FileName(), name);
    EXPECT_TRUE(QFile::exists(name));
}

TEST_F(KnowledgeBaseObject, EventsHandBackWhatTheirHandlersLeave)
{
    const auto knowledgeBase = startWith(network);
    const auto evidence = test::nodeAt(*network, 1, 1);
    const auto conclusion = test::nodeAt(*network, 2, 1);
    auto sink = std::make_shared<AnsweringSink>();
    sink->answer = [&](const QString& name, QList<Variant>& arguments) {
        if (name.startsWith(u"Before"))
            arguments[1] = true;
        else if (name.startsWith(u"After"))
            arguments[1] = qint16(1);
        else if (name == u"NodeMouseMove")
            arguments[0] = viewOf<NodeObject>(conclusion).toVariant();
        else if (name == u"MouseMove")
            arguments[0] = arguments[0].toDouble() * 2;
    };
    auto connection = knowledgeBase->dispatch().advise(sink);

    bool cancel = false;
    knowledgeBase->FireNodeAnswer(evidence, cancel);
    EXPECT_TRUE(cancel);
    EXPECT_FALSE(network->Dirty()) << "a cancelled answer step changes nothing";
    qint16 flag = 0;
    knowledgeBase->FireNodeAfterPrecondition(evidence, flag);
    EXPECT_EQ(flag, 1);
    EXPECT_FALSE(network->Dirty());
    cancel = false;
    knowledgeBase->FireNodeQuestion(evidence, cancel);
    EXPECT_TRUE(cancel);
    EXPECT_TRUE(network->Dirty()) << "a cancelled question marks the network changed";
    network->setDirty(false);
    flag = 0;
    knowledgeBase->FireNodeAfterQuestion(evidence, flag);
    EXPECT_TRUE(network->Dirty());

    std::shared_ptr<Node> hovered = evidence;
    knowledgeBase->FireNodeMouseMove(hovered);
    EXPECT_EQ(hovered, conclusion);
    float x = 10, y = 20;
    knowledgeBase->FireNetworkMouseMove(x, y);
    EXPECT_EQ(x, 20);
    EXPECT_EQ(y, 20);

    // Without a handler every argument comes back as it went.
    connection.reset();
    cancel = false;
    knowledgeBase->FireLoad(cancel);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(sink->heard.size(), 6);
}

TEST_F(KnowledgeBaseObject, WindowMembersActOnTheMainWindow)
{
    const DispatchObject object = startWith(network)->dispatch();

    object.put(kb::Status, QStringLiteral("early"));
    EXPECT_EQ(object.get(kb::Status), Variant(QString())) << "not before the window is ready";
    basGlobal::MainWindowReady = 1;
    object.put(kb::Status, QStringLiteral("ready"));
    EXPECT_EQ(window->status, QStringLiteral("ready"));

    // Without stored placement the window is centred on the screen at 12000 x 8000 twips.
    basGlobal::AutomationMode = true;
    object.put(kb::Visible, true);
    EXPECT_FALSE(basGlobal::AutomationMode);
    EXPECT_EQ(window->shownAt, QRect(1680, 1760, 12000, 8000));
    object.put(kb::Visible, false);
    EXPECT_TRUE(basGlobal::AutomationMode);
    EXPECT_EQ(window->calls.last(), QStringLiteral("hide"));

    // Menu items: an empty collection at first; a new collection rebuilds the Tools menu, a
    // renamed item both menus, a changed cName neither.
    const DispatchObject items = DispatchObject::fromVariant(object.get(kb::MenuItems));
    EXPECT_EQ(countOf(items), 0);
    const DispatchObject item = createObject<MenuItem>();
    items.call(QStringLiteral("Add"), {item.toVariant()});
    window->calls.clear();
    object.put(kb::MenuItems, items.toVariant());
    item.put(QStringLiteral("cName"), QStringLiteral("Quiet"));
    EXPECT_EQ(window->calls, QStringList {QStringLiteral("PopulateToolsMenu")});
    item.put(QStringLiteral("Name"), QStringLiteral("Hello"));
    EXPECT_EQ(window->calls, QStringList({"PopulateToolsMenu", "PopulateToolsMenu", "PopulateReportsMenu"}));
    EXPECT_EQ(host().MenuItemNames(), QStringList {QStringLiteral("Hello")});

    // Quit asks for the shutdown only once the caller has its answer.
    window->calls.clear();
    object.call(kb::Quit);
    EXPECT_TRUE(window->calls.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(window->calls, QStringList {QStringLiteral("Unload")});
}

TEST_F(KnowledgeBaseObject, PagesListTheOpenNetworksWithoutChangingTheShownOne)
{
    auto lower = clsNetwork::create();
    window = nullptr;
    const auto knowledgeBase = startWith(network);
    window->diagram->Networks.Add(lower, lower->GUID());

    const DispatchObject pages = DispatchObject::fromVariant(knowledgeBase->dispatch().get(kb::Pages));
    EXPECT_EQ(countOf(pages), 2);
    const DispatchObject second = DispatchObject::fromVariant(pages.get(QStringLiteral("Item"), {lower->GUID()}));
    EXPECT_EQ(second.get(QStringLiteral("GUID")), Variant(lower->GUID()));
    EXPECT_EQ(window->diagram->Network(), network);

    // AutoAnswer goes to every open network.
    knowledgeBase->setAutoAnswer(true);
    EXPECT_TRUE(lower->AutoAnswer);

    // The latest last-modified date of the networks, in whichever form it was stored.
    network->setVersion(QStringLiteral("3/4/2001 5:06:07 PM"));
    lower->setVersion(QStringLiteral("2001-03-04 16:00:00"));
    EXPECT_EQ(knowledgeBase->LastModified(), QStringLiteral("3/4/2001 5:06:07 PM"));
    network->setVersion(QStringLiteral("not a date"));
    lower->setVersion(QStringLiteral("1899-12-31"));
    EXPECT_EQ(knowledgeBase->LastModified(), QString());
    knowledgeBase->setLastModified(QStringLiteral("12/25/2023 8:30 AM"));
    EXPECT_EQ(network->Version(), QStringLiteral("2023-12-25 08:30:00"));
    EXPECT_FALSE(lastmodified::parse(QStringLiteral("25.12.2023 08:30:00")).isNull());
}

TEST_F(KnowledgeBaseObject, TheApplicationObjectNamesTheHostAndListsNoDocuments)
{
    startWith(network);
    const DispatchObject application = host().application()->dispatch();
    EXPECT_EQ(application.get(QStringLiteral("Name")), Variant(platform::applicationTitle()));
    EXPECT_EQ(DispatchObject::fromVariant(application.get(QStringLiteral("Parent"))), application);
    EXPECT_EQ(countOf(DispatchObject::fromVariant(application.get(QStringLiteral("KnowledgeBase")))), 0);
    EXPECT_EQ(countOf(DispatchObject::fromVariant(application.get(QStringLiteral("Documents")))), 0);
    const DispatchObject editor = DispatchObject::fromVariant(application.get(QStringLiteral("VBE")));
    editor.put(QStringLiteral("Visible"), true);
    EXPECT_TRUE(host().macroHost().editorVisible());
    editor.put(QStringLiteral("Visible"), false);
}

TEST_F(KnowledgeBaseObject, TheProgramsClassesAreCreatedByTheirProgIds)
{
    platform::ScopedService<platform::Registry, platform::doubles::MemoryRegistry> registry;
    startWith(network);
    automation::registerProgramClasses(QStringLiteral("/opt/kelvane/kelvane"));
    EXPECT_EQ(registry->queryValue(platform::HKEY_CLASSES_ROOT, QStringLiteral("Kelvane.KnowledgeBase\\CLSID"), {}),
              QStringLiteral("{6CEDCB70-207F-42DA-A259-4E7F8F1B9092}"));
    auto& activator = platform::activator();

    const DispatchObject item = activator.createObject(QStringLiteral("Kelvane.MenuItem"));
    item.put(QStringLiteral("Name"), QStringLiteral("Hello"));
    EXPECT_EQ(item.get(QStringLiteral("cName")), Variant(QStringLiteral("Hello")));

    // A new knowledge base is one of its own; the application object is the program's.
    const DispatchObject created = activator.createObject(QStringLiteral("kelvane.knowledgebase"));
    EXPECT_NE(created.object(), host().current().get());
    EXPECT_EQ(created.get(QStringLiteral("EditMode")), Variant(false));
    const DispatchObject application = activator.createObject(QStringLiteral("Kelvane.CApplication"));
    EXPECT_EQ(application.object(), host().application().get());

    const DispatchObject entry = activator.createObject(QStringLiteral("Kelvane.clsAction"));
    entry.put(QStringLiteral("action"), qint16(2));
    entry.put(QStringLiteral("Object"), viewOf<NodeObject>(test::nodeAt(*network, 1, 1)).toVariant());
    const DispatchObject clipboard = activator.createObject(QStringLiteral("Kelvane.clsClipboard"));
    auto actions = createObject<CollectionObject>();
    actions.call(QStringLiteral("Add"), {entry.toVariant()});
    clipboard.put(QStringLiteral("Actions"), actions.toVariant());
    clipboard.put(QStringLiteral("Paste"), true);
    const DispatchObject kept = DispatchObject::fromVariant(
        DispatchObject::fromVariant(clipboard.get(QStringLiteral("Actions"))).get(QStringLiteral("Item"), {1}));
    EXPECT_EQ(kept.get(QStringLiteral("action")), Variant(qint16(2)));
    EXPECT_EQ(DispatchObject::fromVariant(kept.get(QStringLiteral("Object"))).get(QStringLiteral("GUID")),
              Variant(test::nodeAt(*network, 1, 1)->GUID));
    for (const char* progId : {"Kelvane.Property", "Kelvane.clsControl", "Kelvane.Page", "Kelvane.URI"})
        EXPECT_FALSE(activator.createObject(QString::fromLatin1(progId)).isNothing()) << progId;
    EXPECT_EQ(test::errorNumberOf([&] { activator.createObject(QStringLiteral("Kelvane.Node")); }), err::CantCreateObject);
}

TEST_F(KnowledgeBaseObject, TheDiagramsClipboardShowsWhatItRecordedAsNodesAndPages)
{
    const auto knowledgeBase = startWith(network);
    const auto clipboard = std::make_shared<clsClipboard>();
    auto copy = std::make_shared<clsAction>();
    copy->action = clipboardentry::Copy;
    copy->ObjectType = clipboardentry::OneNode;
    copy->Object = Variant::fromObject(test::nodeAt(*network, 2, 1));
    copy->OriginalObject = Variant::fromObject(network);
    clipboard->Actions.Add(copy);

    const DispatchObject shown = viewOf<automation::ClipboardObject>(clipboard);
    const DispatchObject entry = DispatchObject::fromVariant(
        DispatchObject::fromVariant(shown.get(QStringLiteral("Actions"))).get(QStringLiteral("Item"), {1}));
    EXPECT_EQ(DispatchObject::fromVariant(entry.get(QStringLiteral("Object"))).get(QStringLiteral("GUID")),
              Variant(test::nodeAt(*network, 2, 1)->GUID));
    EXPECT_EQ(DispatchObject::fromVariant(entry.get(QStringLiteral("OriginalObject"))).get(QStringLiteral("GUID")),
              Variant(network->GUID()));
    // A page given back is kept as its network, as the diagram keeps it.
    entry.put(QStringLiteral("Object"), entry.get(QStringLiteral("OriginalObject")));
    EXPECT_EQ(copy->Object.object<clsNetwork>(), network);

    knowledgeBase->Project()->addModule(QStringLiteral("Module1"), QStringLiteral(R"(
        function KnowledgeBase_Load(e) {
            const clipboard = new clsClipboard();
            for (let i = 0; i < 45; ++i) {
                const entry = new clsAction();
                entry.action = 5;
                entry.NetworkGUID = KnowledgeBase.GUID;
                clipboard.Actions.Add(entry);
            }
            const entries = new Collection();
            entries.Add(new clsAction());
            clipboard.Actions = entries;
            clipboard.CheckLimit();
            e.Cancel = clipboard.Actions.Count == 1 && !clipboard.Paste;
        }
    )"));
    bool cancel = false;
    knowledgeBase->FireLoad(cancel);
    EXPECT_TRUE(cancel) << qPrintable(knowledgeBase->Project()->output().join(u'\n'));
}
