#pragma once

#include "model/AbstractNetwork.h"
#include "platform/Collection.h"

#include <QString>
#include <QtGlobal>
#include <memory>

namespace platform {
class Canvas;
class RootStorage;
}

namespace kelvane {

class AbstractHostDisplay;
class AbstractProgressBar;
class DocumentOutput;
class Layer;
class Link;
class Node;
class Page;
class Property;
class TextLabel;
class clsControl;

// The network of one page of a knowledge base: an ordered list of layers, each an ordered list
// of question nodes, joined by weighted links; plus the knowledge base's descriptive fields,
// display colours and settings. Always made through create() and held by std::shared_ptr.
//
// Every operation reports its own failures through the common error reporter (module
// "clsNetwork") and returns its neutral result; changes made before a failure stay.
// Editing operations set Dirty first and, after a successful change, send an online update
// to the host display while it is loaded and connected.
class clsNetwork : public AbstractNetwork, public std::enable_shared_from_this<clsNetwork> {
public:
    static std::shared_ptr<clsNetwork> create();
    ~clsNetwork() override;
    clsNetwork(const clsNetwork&) = delete;
    clsNetwork& operator=(const clsNetwork&) = delete;

    // --- Fields, in their design order ------------------------------------------------------

    // The display that shows this network (the diagram control). Not owned: the display owns
    // its networks, so it keeps its AbstractHostDisplay in a std::shared_ptr for as long as it
    // lives and the network stops calling it once that is gone.
    std::weak_ptr<AbstractHostDisplay> ParentDisplay;

    Collection<std::shared_ptr<Property>> Properties; // named values of the knowledge base

    QString GUID() const override { return m_guid; }
    void setGUID(const QString& guid) { m_guid = guid; }

    bool Structured = false; // a compound file rather than XML text; set by FileName
    bool Saved = false;      // written and needing no further write; cleared by FileName

    // The layers in order; links lead towards smaller positions.
    Collection<std::shared_ptr<Layer>>& Layers() override { return m_layers; }
    const Collection<std::shared_ptr<Layer>>& Layers() const { return m_layers; }

    qint32 cintCounter = 0; // last node number handed out

    // The four text labels are made empty on first read.
    std::shared_ptr<TextLabel> Name() const override; // title of the knowledge base
    void setName(std::shared_ptr<TextLabel> label) { m_name = std::move(label); }

    QString Version() const override { return m_version; } // last-modification stamp
    void setVersion(const QString& version) override { m_version = version; }

    std::shared_ptr<TextLabel> Author() const;
    void setAuthor(std::shared_ptr<TextLabel> label) { m_author = std::move(label); }
    std::shared_ptr<TextLabel> Copyright() const;
    void setCopyright(std::shared_ptr<TextLabel> label) { m_copyright = std::move(label); }

    QString Password;       // knowledge-base password (empty: none)
    QString EditorPassword; // the password that grants the right to edit
    // The last read stopped at a password the user could not give; the reader has said so
    // ("Access denied"), so whoever asked for the read need not say more.
    bool PasswordRefused = false;
    QString Description;    // scenario description

    QString ScenarioName() const override { return m_scenarioName; }
    void setScenarioName(const QString& name) { m_scenarioName = name; }

    QString SupportURL;          // support link of the knowledge base
    qint16 PollingInterval = 20; // used by the diagram control while online
    QString Picture;             // file name of the splash picture
    QString Background;          // file name of the background picture

    std::shared_ptr<TextLabel> KBDescription() const;
    void setKBDescription(std::shared_ptr<TextLabel> label) { m_kbDescription = std::move(label); }

    // Display colours (0x00BBGGRR); -1 means not set.
    qint32 BackColour = -1;
    qint32 NodeColour = -1;
    qint32 HighlightColour = -1;
    qint32 ShadowColour = -1;
    qint32 PositiveColour = -1;
    qint32 NegativeColour = -1;

    QString MoreInfoRoot; // root of the nodes' further-information references
    QString TooltipText;
    qint16 NetworkType = 0; // 0 template, 1 knowledge base, 2 scenario

    // Set by the diagram control before a load; the document readers give read nodes new GUIDs.
    bool NewGUIDs() const override { return m_newGUIDs; }
    void setNewGUIDs(bool value) { m_newGUIDs = value; }

    qint16 Index = 0; // position in the diagram control's list of networks
    qint16 ViewingCount = 0; // document open starts it at 0

    // Answer-control definitions; every new node receives a copy of each.
    Collection<std::shared_ptr<clsControl>> Controls;

    bool Overview = false;     // the overview built by the diagram control
    bool CompleteView = false; // the complete view built by the diagram control
    bool AutoAnswer = false;
    bool ShowAnswer = true;

    // --- Editing ----------------------------------------------------------------------------

    // Appends an empty layer. A network holds at most 32767 layers, the highest layer number a
    // document stores: a further one is refused (Overflow) and the network is left as it was.
    bool AddLayer();
    // Puts a new empty layer in front of the others, which move up one; refused as AddLayer.
    bool InsertLayer();
    // Adds a new node as the last node of layer `intLayer` (1-based), adding layers as needed;
    // it gets the next node number and a copy of every control definition.
    bool AddNode(qint32 intLayer) override;
    // Adds a link from `objNodeFrom` to its evidence node `objNodeTo` and makes the evidence
    // node's default false. Tests nothing: callers check with CheckLink first.
    bool AddLink(const std::shared_ptr<Node>& objNodeFrom, const std::shared_ptr<Node>& objNodeTo) override;
    // Removes the link from `objNodeFrom` to the node at `objNodeTo`'s place; false when none.
    bool DeleteLink(const std::shared_ptr<Node>& objNodeFrom, const std::shared_ptr<Node>& objNodeTo);
    // Removes the node, every link that leads to it, and the lower-level references to it.
    bool DeleteNode(const std::shared_ptr<Node>& objDeleteNode);
    // The number of nodes over all layers.
    qint32 NodeCount();

    // --- Cycle and layering tests -----------------------------------------------------------

    // False when the checked node (layer and place) can be reached along links from the start
    // node (the start node itself is not compared), or when the walk meets a cycle. Used before
    // a link from the checked node to the start node is made.
    bool CheckLink(qint32 intLayerChecked, qint32 intIndexChecked, qint32 intLayerStart, qint32 intIndexStart);
    // False when a link from the node, or from any node below it, leads to a layer that is not
    // strictly lower.
    bool CheckNode(const std::shared_ptr<Node>& node);

    // --- Layer structure rules --------------------------------------------------------------

    // Lifts the node one layer; targets left without a parent directly above them follow.
    bool MoveNodeUp(const std::shared_ptr<Node>& node);
    // Moves a node outside layer 1 to the front of layer 1; false for a node of layer 1.
    bool MoveNodeDown(const std::shared_ptr<Node>& node);
    // Lifts nodes until every link leads to a strictly lower layer; false on a cycle.
    bool Structure();
    // Lays the whole network out again from one layer; false on a cycle.
    bool ReStructure(bool bInvalidStart);

    // --- Copies, views and state ------------------------------------------------------------

    // A deep copy that shares only the host display (and the nodes' lower-level references);
    // new network and node GUIDs when asked. Null on failure.
    std::shared_ptr<clsNetwork> Clone(bool bNewGuids);

    // A new page bound to this network (a new one on every call).
    std::shared_ptr<kelvane::Page> Page();

    // The document's file name; writing it clears Saved and sets Structured and NetworkType
    // from the extension.
    QString FileName() const { return m_fileName; }
    void setFileName(const QString& strFileName);

    // The dirty flag; setting it tells the host display of the edit under way (every editing
    // operation sets it first) and, while the display is loaded, stamps Version on the host's
    // current network and on this one.
    bool Dirty() const { return m_dirty; }
    void setDirty(bool bDirty);

    // --- XML document -------------------------------------------------------------------------

    // The network's XML text: its network element, a blank line, then the element of every
    // node, layer by layer, each followed by a blank line. Empty when it cannot be made.
    QString SerializeOutXML();

    // Writes the network unless Saved: to `output`, as one network entry of a document the
    // caller is writing, or, without one, as a whole document replacing the file FileName
    // (only once everything was written; a failed save leaves the old file). A read-only
    // file is refused with a message. True when written: Dirty is then cleared, Saved set.
    bool FileSave(DocumentOutput* output = nullptr);

    // Fills this network from XML text holding one network element and its node elements
    // (a whole document is accepted: its first network is read). Asks for the knowledge-base
    // password and, unless ApplicationMode is 1 or 9, the editor password. False when a
    // password was refused (no node is read), when reading failed, or when a field could not
    // be read. The node elements are cut out of `Text`. Does not touch Dirty.
    bool SerializeInXML(QString& Text, AbstractProgressBar* ProgressBar = nullptr);

    // --- Opening and compound files -------------------------------------------------------------

    // Loads the network from `SourceText`: XML when `IsXML` (a whole document must end with
    // its closing tag), else the older text form, read from the file FileName when the text
    // is empty (the file's text is then not handed back: only its records are ever made into
    // characters, so a large file costs little more than its bytes). A name ending in ".qkb" sets NetworkType 1, ".qsn" 2. True when the network
    // was read; Dirty is then cleared. A failure is reported and leaves Dirty as it was.
    bool FileOpen(QString& SourceText, bool IsXML, AbstractProgressBar* ProgressBar = nullptr);

    // Writes the network unless Saved into its stream of the compound file, named by the
    // decimal Index (created when missing): the stream's old content is cleared to NUL
    // characters, then the network's document is written over it. A read-only FileName is
    // refused with a message. True when written: Dirty is then cleared, Saved set. Any failure
    // of the storage is reported and gives false, with Dirty kept.
    bool FileStore(platform::RootStorage& Storage);

    // Reads the network `GUID` from the compound file: the stream whose number i has a
    // "GUID" i stream naming it (else a stream named by the GUID itself), as XML or as text of
    // the older form (which is also put on the clipboard). Clears Dirty and gives the reader's
    // result; a missing or unreadable stream is reported and gives false.
    bool FileRestore(platform::RootStorage& Storage, const QString& GUID, AbstractProgressBar* ProgressBar = nullptr);

    // --- Drawing ----------------------------------------------------------------------------

    // Paints every link, then every node with its name and status caption, onto the surface
    // over what it shows (network/NetworkDrawing.h). True when the whole network was drawn;
    // false when a run-time error stopped it (what was drawn stays).
    bool DrawNetwork(platform::Canvas& canvas);

protected:
    clsNetwork();

private:
    // Reads the network from text of the older form (OlderTextReader); `SourceText` is
    // consumed. False, reported, when the text cannot be read; false when a password was refused.
    bool SerializeIn(QString& SourceText);
    // The same from a file's bytes, one character each in the ANSI code page.
    bool SerializeIn(const QByteArray& ansiText);

    std::shared_ptr<Layer> newLayer(qint32 index);
    // The number a further layer takes; raises Overflow beyond 16 bits.
    qint32 nextLayerNumber() const;

    // Pieces of the structure rules.
    bool liftOneLayer(const std::shared_ptr<Node>& node);
    void requireAcyclic() const;
    void removeEmptyLayers();

    // Online updates: sent only while the host display is loaded and connected.
    std::shared_ptr<AbstractHostDisplay> onlineHost() const; // null unless loaded and connected
    void sendNetworkUpdate();
    void sendNodeUpdate(Node& node);

    QString m_guid;
    Collection<std::shared_ptr<Layer>> m_layers;
    mutable std::shared_ptr<TextLabel> m_name;
    QString m_version;
    mutable std::shared_ptr<TextLabel> m_author;
    mutable std::shared_ptr<TextLabel> m_copyright;
    QString m_scenarioName;
    mutable std::shared_ptr<TextLabel> m_kbDescription;
    bool m_newGUIDs = false;
    bool m_dirty = false;
    QString m_fileName;
};

} // namespace kelvane
