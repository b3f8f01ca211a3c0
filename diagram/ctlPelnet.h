#pragma once

#include "diagram/CanvasLine.h"
#include "diagram/NarratorButtonSet.h"
#include "diagram/NetworkHitIndex.h"
#include "platform/Collection.h"
#include "platform/Variant.h"

#include <QImage>
#include <QSet>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

class QAction;
class QMenu;
class QTimer;

namespace platform {
class RootStorage;
}

namespace basXML {
class XMLElementWalker;
}

namespace kelvane {

class AbstractParentForm;
class AbstractProgressBar;
class AbstractServerSession;
class Circle;
class DiagramHostDisplay;
class DocumentOutput;
class Link;
class NamesMeasuredAhead;
class NetworkCanvas;
class Node;
class clsNetwork;

// The network diagram control: holds every network of the open knowledge base (the root
// network first, then its lower-level networks), shows one of them on its canvas, opens and
// saves the document, builds the overview and complete views, and records a snapshot of the
// shown network before each edit.
//
// Hosts reach its members directly; the pointer state and the other public variables are
// shared with the pointer handlers and menu commands. Every public procedure reports its own
// failures through the common error reporter (module "ctlPelnet") and returns its neutral
// result; changes made before a failure stay.
class ctlPelnet : public QWidget {
    Q_OBJECT

public:
    explicit ctlPelnet(QWidget* parent = nullptr);
    ~ctlPelnet() override;

    // --- Public variables ---------------------------------------------------------------------

    // No document load or view build is under way. Server updates are sent only while both
    // Loaded and Connected are true.
    bool Loaded = false;
    // The program is logged on to the knowledge server (the host sets it).
    bool Connected = false;
    // The open networks: item 1 is the root network; each network's Index is its position.
    Collection<std::shared_ptr<clsNetwork>> Networks;
    std::shared_ptr<clsNetwork> Overview;     // built by CreateOverview
    std::shared_ptr<clsNetwork> CompleteView; // built by CreateComplete
    bool DisplayOverview = false;
    bool DisplayCompleteview = false;
    // The multiple selection that delete, copy and cut act on.
    Collection<std::shared_ptr<Node>> Selected;
    // The external nodes a consultation has zoomed into, innermost last.
    Collection<std::shared_ptr<Node>> NestedHistory;
    // One entry per closed undo level: the items added, and the items deleted, in that level.
    Collection<std::shared_ptr<Collection<Variant>>> AddedHistory;
    Collection<std::shared_ptr<Collection<Variant>>> DeletedHistory;
    // The host window; not owned. It sets this to itself when it loads.
    AbstractParentForm* ParentForm = nullptr;
    // The pointer state.
    std::shared_ptr<Node> NodeFound;
    std::shared_ptr<Link> LinkFound;
    bool cbLinkAnchored = false;
    bool cbSelectionAnchored = false;
    bool cbMoveAnchored = false;
    qint16 mintOld = 0;
    qint16 mintOldX = 0;
    qint16 mintNewLayer = 0;
    qint16 mintNewIndex = 0;
    // Document open gives every network read this flag (their readers then keep new GUIDs).
    bool NewGUIDs = false;
    // Set by the host when it opens a knowledge base rather than a scenario.
    bool KnowledgeBaseMode = false;
    qint16 mintFormerNestCount = 0;
    // The bytes of the splash and background picture files, one character per byte, as
    // document save stores them.
    QString SplashFile;
    QString BackgroundFile;
    // The number of narrator buttons loaded.
    qint32 mintButtonCount = 0;

    // --- Child controls ---------------------------------------------------------------------------

    NetworkCanvas* picnetwork() const { return m_picnetwork; }
    QTimer* timPolling() const { return m_timPolling; }
    // The pointer feedback over the canvas: the move marker (Circle2 is placed but not
    // used), the rubber line of a link being drawn, the four sides of the rubber band and
    // the lines of a moving node's links.
    Circle* Circle1() const { return m_circle1; }
    Circle* Circle2() const { return m_circle2; }
    CanvasLine& linLink() const { return *m_linLink; }
    CanvasLine& Line1() const { return *m_rubberBand[0]; }
    CanvasLine& Line2() const { return *m_rubberBand[1]; }
    CanvasLine& Line3() const { return *m_rubberBand[2]; }
    CanvasLine& Line4() const { return *m_rubberBand[3]; }
    CanvasLineArray& linLinks() { return m_linLinks; }
    // Narrator button `index`; element 0 always exists, elements 1 to mintButtonCount while
    // loaded (made for their node on demand: NarratorButtonSet).
    NarratorButton* cmdNarrater(qint32 index);
    QMenu* mnuNode() const { return m_mnuNode; }
    QMenu* mnuNetwork() const { return m_mnuNetwork; }
    QMenu* mnuLink() const { return m_mnuLink; }
    QMenu* mnuPickup() const { return m_mnuPickup; }
    QMenu* mnuApply() const { return m_mnuApply; }

    // Items of the network menu (the menus own their items).
    QAction* mnuNodeAdd = nullptr;
    QAction* mnuNetworkLayerAdd = nullptr;
    QAction* mnuNetworkRefresh = nullptr;
    QAction* mnuNetworkCut = nullptr;
    QAction* mnuPictureCopy = nullptr;
    QAction* mnuNetworkCopy = nullptr;
    QAction* mnuNetworkPaste = nullptr;
    QAction* mnunetworkDelete = nullptr;
    QAction* mnuNetworkSpellCheck = nullptr;
    QAction* mnuNetworkProperties = nullptr;
    // Items of the node menu and its two submenus.
    QAction* mnuLinkAdd = nullptr;
    QAction* mnuNodeMove = nullptr;
    QAction* mnuNodeCut = nullptr;
    QAction* mnuNodeCopy = nullptr;
    QAction* mnuNodeDelete = nullptr;
    QAction* mnuPickUpAnswers = nullptr;
    QAction* mnuNodePickupFont = nullptr;
    QAction* mnuNodeApplyAnswers = nullptr;
    QAction* mnuNodeApplyFonts = nullptr;
    QAction* mnuNodeDisabled = nullptr;
    QAction* mnuNodeColour = nullptr;
    QAction* mnuNodeProperties = nullptr;
    // Items of the link menu.
    QAction* mnuLinkDelete = nullptr;
    QAction* mnuLinkProperties = nullptr;

    // --- Properties ---------------------------------------------------------------------------

    // The knowledge base's splash picture, and the picture painted behind the network.
    // Setting either redraws (Refresh).
    QImage Splash() const { return m_imgSplash; }
    void setSplash(const QImage& picture);
    QImage Background() const { return m_picBackground; }
    void setBackground(const QImage& picture);

    // The position in Networks of the current network. Not checked against Networks.
    qint16 NetworkIndex() const { return m_networkIndex; }
    void setNetworkIndex(qint16 index);

    // The root network (made on first use). Setting it makes it network 1 of this display and
    // current; it is not added to Networks.
    std::shared_ptr<clsNetwork> Network();
    void setNetwork(const std::shared_ptr<clsNetwork>& network);

    // Whether the canvas takes pointer input (this hides QWidget's own pair on purpose: the
    // control itself stays enabled, only its canvas is switched).
    bool Enabled() const;
    void setEnabled(bool enabled);

    // --- Hit tests (positions in canvas units) ---------------------------------------------------

    // The width of one layer's column on the canvas; 0 without layers.
    qint32 HorizontalStep();
    // The node whose circle holds the point (the last one in layer, then node order).
    std::shared_ptr<Node> OverNode(float X, float Y);
    // The node whose lower handle (below a node that opens a lower-level network), or upper
    // handle (above a node that higher-level nodes stand for), holds the point; the handle
    // is drawn lit.
    std::shared_ptr<Node> OverDown(float X, float Y);
    std::shared_ptr<Node> OverUp(float X, float Y);
    // The link between enabled nodes nearest the point, within 50 units of its line and 30
    // of its ends. Outside viewing mode the network is redrawn with the link marked. A hit
    // clears the selection.
    std::shared_ptr<Link> OverLink(float X, float Y);
    // How many nodes (OverNode, OverDown, OverUp) or links (OverLink) the last hit test
    // looked at: those near the point.
    qsizetype HitTestVisits() const { return m_hitTestVisits; }
    // Forgets where the hit tests found the shown network's nodes and links: it was edited.
    void forgetHitLayout();

    // --- Node commands reached from outside the menus --------------------------------------------

    // Adds a node at the end of the first layer of the shown network.
    void mnuNodeAdd_Click();
    // Starts drawing a link from NodeFound: a ring on the node and a line that follows the
    // pointer; the press or release on the other node makes the link.
    void mnuLinkAdd_Click();

    // --- Copy, cut and paste ---------------------------------------------------------------------

    // Gives the node a copy of its lower-level network of its own (GUIDs kept), appended to
    // Networks, and likewise down its levels; nothing when a network with the node's
    // ExternalNetworkGUID is open already (the node is then linked to it).
    void PasteLowerLevels(const std::shared_ptr<Node>& node);

    // --- Drawing --------------------------------------------------------------------------------

    // Loads the shown network's background picture file when it has one, then redraws.
    void Refresh();
    // Paints the background (the picture stretched over the surface, else the back colour)
    // and the shown network, on the canvas or, when printing, on the printer's page.
    void DrawNetwork(bool bPrint = false);
    // While a host holds the drawing (a window being loaded, whose canvas has not its size
    // yet), drawing on the canvas only notes that it is wanted; letting go draws once if it
    // was. Printing is never held.
    void holdDrawing();
    void releaseDrawing();
    // How many times the shown network has been drawn on the canvas.
    qsizetype Drawings() const { return m_drawings; }
    // While the object given lives, the names the next drawing of the shown network measures
    // whatever the canvas's size are measured whenever the message loop is idle (for a wait
    // before the drawing).
    std::unique_ptr<NamesMeasuredAhead> measureNamesAhead();

    // --- Shown network, zoom and narrator buttons ------------------------------------------

    // Shows the lower-level network of `node`, selecting the node it enters at.
    void ZoomIn(const std::shared_ptr<Node>& node);
    // Shows the network that owns `node`, selecting it.
    void ZoomOut(const std::shared_ptr<Node>& node);
    // The network shown: the root when only one is open, else the overview, the complete
    // view or the current network. Rebuilds the narrator buttons when the shown network
    // changed. Raises when the current index is outside Networks.
    std::shared_ptr<clsNetwork> ActiveNetwork();
    // What belongs to the network left by a zoom goes with it: its selection (marks and list)
    // and a move under way.
    void leaveShownNetwork();
    // Rebuilds the narrator buttons for the shown network.
    void UpdateButtons();

    // --- Document open ------------------------------------------------------------------------

    // Opens the document named by the root network's FileName (a compound file or a text
    // document), its lower-level networks, and builds the overview (shown unless
    // `bHideOverview`). False when the document could not be opened whole: a password was
    // refused, a network of the document could not be read or was cut short, the file is a
    // damaged compound file. What was read is then never saved over the file.
    bool FileOpen(AbstractProgressBar* objprogress = nullptr, bool bHideOverview = false);
    // The last FileOpen refused the file and told the user why itself (a read-only file, a
    // damaged compound file, a password refused): the host need not say so again.
    bool OpenRefusalShown() const { return m_openRefusalShown; }
    // Takes over the document that `opened` opened (its networks, pictures and views) in place
    // of this control's own, and shows it. `opened` keeps an empty document of its own. A host
    // opens into a control of its own first, so that a failed open leaves the shown document.
    void TakeDocument(ctlPelnet& opened);
    void ServerDisconnect();
    // Reads the document `strGUID` from the knowledge server into the root network.
    bool ServerConnect(const QString& strGUID, AbstractProgressBar* objprogress = nullptr, bool bHideOverview = false);

    // --- Document save ------------------------------------------------------------------------

    // Writes every open network to the root network's FileName: one XML document, or the
    // compound file (its fixed streams are made when missing). True when the file was
    // written whole; when any network could not be written the file is left as it was and
    // the networks keep their changed flags and lower-level file names.
    bool FileSave(AbstractProgressBar* objprogress = nullptr);
    // Why the last FileSave failed, as its error said; "" when it succeeded or gave no reason.
    const QString& SaveError() const { return m_saveError; }

    // --- Lower-level networks -----------------------------------------------------------------

    // Reads the lower-level networks of `objnetwork`'s external nodes, depth first: from the
    // rest of an XML document (`strSerialized`, the walker over its network elements, which
    // takes each level's element in turn) or from their own files.
    bool LowerLevelNetworksOpen(basXML::XMLElementWalker& strSerialized, bool bXML,
                                const std::shared_ptr<clsNetwork>& objnetwork, AbstractProgressBar* objprogress = nullptr);
    // The same from the streams of an open compound file.
    bool LowerLevelNetworksRestore(platform::RootStorage& rootStg, const std::shared_ptr<clsNetwork>& objnetwork,
                                   AbstractProgressBar* objprogress = nullptr, bool blnOld = false);
    // Writes the lower-level networks of `objnetwork`, depth first, into the document; false
    // when one could not be written.
    bool LowerLevelNetworksSave(DocumentOutput& output, const std::shared_ptr<clsNetwork>& objnetwork,
                                AbstractProgressBar* objprogress = nullptr);
    // The same into the compound file.
    bool LowerLevelNetworksStore(platform::RootStorage& rootStg, const std::shared_ptr<clsNetwork>& objnetwork,
                                 AbstractProgressBar* objprogress = nullptr);
    // Links the node to its lower-level network when that is open already; true then.
    bool LowerLevelNetworkFind(const std::shared_ptr<Node>& objNode);
    // Reads one lower-level network for the node, appends it, links the node and goes on
    // into its own lower levels.
    bool LowerLevelNodeOpen(basXML::XMLElementWalker& strSerialized, bool bXML, const std::shared_ptr<Node>& objNode,
                            AbstractProgressBar* objprogress = nullptr);
    bool LowerLevelNodeRestore(platform::RootStorage& rootStg, const std::shared_ptr<Node>& objNode,
                               AbstractProgressBar* objprogress = nullptr, bool blnOld = false);

    // --- Snapshots ----------------------------------------------------------------------------

    // Closes the current undo level. Always false.
    bool IncreaseUndoLevel();
    // Asks the host window to update its toolbar; every error is ignored.
    void UpdateToolbar();
    // Records a snapshot of the shown network on the clipboard before an edit and marks the
    // network changed. True.
    bool Change();

    // --- Views --------------------------------------------------------------------------------

    bool CreateOverview();
    void ViewOverview();
    bool CreateComplete();
    void ViewCompleteView();

    // --- Knowledge server -----------------------------------------------------------------------

    // The session the program gives the control once it has a knowledge-server client.
    void setServerSession(std::shared_ptr<AbstractServerSession> session);
    QString ServerRead(const QString& strGUID, AbstractProgressBar* progress = nullptr);
    QString ServerWrite(const QString& strGUID, const QString& strXML, const QString& text,
                        AbstractProgressBar* progress = nullptr);
    // Spools an update of the network `strGUID` holding `strXML`; `text` is not used.
    void ServerUpdate(const QString& strGUID, const QString& strXML, const QString& text,
                      AbstractProgressBar* progress = nullptr);
    bool LowerLevelNetworksGet(const std::shared_ptr<clsNetwork>& network, AbstractProgressBar* progress = nullptr);
    void LowerLevelNodeGet(const std::shared_ptr<Node>& node, AbstractProgressBar* progress = nullptr);

    // --- Whole-document operations --------------------------------------------------------------

    // New GUIDs for every network and node, keeping the references between levels.
    void RecreateGUIDs();
    // Gives every node a copy of each of its network's controls it lacks by name.
    void PropogateControls();
    // True when any open network has changed.
    bool Dirty();
    // Networks in breadth-first order from the root through the lower-level networks,
    // renumbered; networks not reached are dropped.
    bool ReorderNetworks();
    // Reads the bytes of the root network's splash (background) picture file.
    void LoadSplash();
    void LoadBackground();
    // The whole document as XML text.
    QString SerializeOutXML();

Q_SIGNALS:
    // Declared for hosts; never raised.
    void Selection();
    // A node was clicked in viewing mode (or chosen with the space key). A handler may
    // replace the node; the control goes on with the one it leaves.
    void Click(std::shared_ptr<kelvane::Node>& node);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The network shown, found as ActiveNetwork finds it, leaving the buttons as they are.
    std::shared_ptr<clsNetwork> shownNetwork();
    void UserControl_Initialize();
    void UserControl_Resize();
    void UserControl_KeyUp(int KeyCode, int Shift);
    void timPolling_Timer();
    void cmdNarrater_GotFocus(qint32 Index);
    // The canvas's double-click action: node or link properties (not in viewing mode, nor
    // on a view or one of its nodes or links).
    void picnetwork_DblClick();
    void mnuNodeProperties_Click();
    void mnuLinkProperties_Click();

    // The pointer on the canvas and on the move marker.
    void picnetwork_MouseDown(qint16 Button, qint16 Shift, float X, float Y);
    void picnetwork_MouseMove(qint16 Button, qint16 Shift, float X, float Y);
    void picnetwork_MouseUp(qint16 Button, qint16 Shift, float X, float Y);
    void Circle1_MouseDown(qint16 Button, qint16 Shift, float X, float Y);
    // Runs a pointer handler under its error trap; a failure abandons every gesture under way.
    void pointerHandler(const char* procedureName, const std::function<void()>& body);
    // The hit tests' layout of the shown network on the canvas, made when there is none or it
    // no longer describes the network; and what of it lies near a point.
    std::shared_ptr<const NetworkHitIndex> hitIndex(clsNetwork& shown);
    template <class LookUp>
    auto fromHitLayout(clsNetwork& shown, LookUp&& lookUp) -> decltype(lookUp(std::declval<const NetworkHitIndex&>()));
    template <class Visit>
    void forEachNodeCellNear(clsNetwork& shown, float X, float Y, Visit&& visit);
    template <class Measure>
    void forEachLinkAt(clsNetwork& shown, float X, float Y, Measure&& measure);
    // The node whose lower (else upper) handle holds the point, the handle drawn lit.
    std::shared_ptr<Node> nodeWithHandleAt(bool lower, float X, float Y);
    void abandonGestures();
    void pressOnNode(qint16 Button, qint16 Shift, float X, float Y);
    void trackPointer(float& X, float& Y);
    bool linkAllowed(const std::shared_ptr<Node>& start, const std::shared_ptr<Node>& target);
    void addLinkAndRestructure(const std::shared_ptr<Node>& start, const std::shared_ptr<Node>& target);
    void completeLinkByPress(const std::shared_ptr<Node>& start);
    void completeLinkByRelease(const std::shared_ptr<Node>& start, float X, float Y);
    void selectByRectangle();
    // Shows a popup menu at the canvas point (canvas units); returns when it has closed.
    void popup(QMenu* menu, float X, float Y);

    // The node menu and its commands, the link menu's delete.
    void mnuNode_Click();
    void mnuNodeDelete_Click();
    void mnuNodeColour_Click();
    void mnuNodeDisabled_Click();
    void mnuLinkDelete_Click();

    // Picking up a node's label styles or answer options, and applying them to NodeFound.
    void mnuNodePickupFont_Click();
    void mnuNodeApplyFonts_Click();
    void mnuPickUpAnswers_Click();
    void mnuNodeApplyAnswers_Click();

    // The network menu: its items offered as it opens, and its commands on the shown network.
    void mnuNetwork_Click();
    void mnunetworkDelete_Click();
    void mnuNetworkLayerAdd_Click();
    void mnuNetworkRefresh_Click();
    void mnuNetworkProperties_Click();
    // Deletes every node of Selected from the shown network.
    void deleteSelectedNodes();
    // After nodes left the shown network: nothing selected or found, the network redrawn and
    // the toolbar and buttons brought up to date.
    void showAfterRemoval();
    // Lets the user correct the spelling of every text of the shown network.
    void mnuNetworkSpellCheck_Click();

    // Copy, cut and paste through the shared clipboard: the network menu's items act on the
    // selection, the node menu's on NodeFound.
    void mnuNetworkCopy_Click();
    void mnuNetworkCut_Click();
    void mnuNodeCopy_Click();
    void mnuNodeCut_Click();
    void mnuNetworkPaste_Click();
    // Appends a copy or cut of the selected nodes of the shown network; false when none is selected.
    bool recordSelection(qint16 action);
    // Appends a copy or cut of NodeFound; false without one.
    bool recordNodeFound(qint16 action);
    void pasteNetwork(clsNetwork& shown, clsNetwork& copied);
    void pasteNode(clsNetwork& shown, Node& copied);
    void pasteLowerLevels(const std::shared_ptr<Node>& node, QSet<QString>& entered);

    // Node move mode: its start from the menu, the marker and lines that follow the pointer,
    // and the press that puts the node at the place chosen.
    void mnuNodeMove_Click();
    // False when the pointer's place changes nothing (the move handler then ends at once).
    bool moveFeedback(float X, float Y);
    // Puts the node at the place chosen; a node that is not in the network shown stays where
    // it is. Either way move mode ends.
    void completeMove();
    // Leaves move mode: no node moving, the marker and the lines gone.
    void endMove();
    void placeMarker(QPointF centre, double height);

    // While Loaded and Connected, sends the current network to the server as an edit the
    // network operations did not send themselves.
    void sendEditToServer();

    // Redraws the network with a found link marked.
    void markLink(QPointF from, QPointF to);

    void createMenus();
    void connectMenus();
    void createPointerFeedback();
    void setMenuCaptions();
    // Makes `network` one of this display's networks.
    void attach(clsNetwork& network);
    void buildNarratorButtons(clsNetwork& network);
    void unloadNarratorButtons();
    // The picture of the root network's background file, when the file exists.
    void loadBackgroundFile(const QString& fileName);
    // Links the node to `network`: its lower-level network, and the node inside it whose
    // GUID the node names as its lower-level node.
    void linkToLowerLevel(const std::shared_ptr<Node>& objNode, const std::shared_ptr<clsNetwork>& network);

    // Pieces of document open.
    class LowerLevelReading;
    class NetworksByGUID;
    bool openCompoundDocument(std::shared_ptr<platform::RootStorage> storage, AbstractProgressBar* objprogress,
                              bool bHideOverview);
    bool openTextDocument(AbstractProgressBar* objprogress, bool bHideOverview);
    void nameDocument(clsNetwork& root, bool showName);
    void noteRefusal(const clsNetwork& network);
    std::shared_ptr<clsNetwork> newLowerLevelNetwork(const Node& objNode);
    void appendLowerLevel(const std::shared_ptr<Node>& objNode, const std::shared_ptr<clsNetwork>& network);

    // Pieces of document save; false when a network could not be written (the file is then
    // left as it was).
    bool saveDocument(AbstractProgressBar* objprogress);
    bool saveXMLDocument(AbstractProgressBar* objprogress);
    bool saveCompoundDocument(AbstractProgressBar* objprogress);

    std::shared_ptr<DiagramHostDisplay> m_display; // lent to the networks as their ParentDisplay
    std::shared_ptr<AbstractServerSession> m_serverSession;
    std::shared_ptr<clsNetwork> m_network; // the root network
    qint16 m_networkIndex = 0;
    QString m_lastShownGUID;
    bool m_buildingButtons = false; // focus moving among buttons being rebuilt selects nothing
    QSet<QString> m_lowerLevelsBeingRead; // the sources of the lower levels now being opened
    // While the lower levels of a document are read: the networks of the list by GUID, so that
    // each external node finds its network without going through the whole list.
    NetworksByGUID* m_networksByGUID = nullptr;
    bool m_notOpened = false; // the last open failed: what it read is not saved over the file
    bool m_openRefusalShown = false;
    QString m_saveError;
    std::unordered_set<const clsNetwork*> m_lowerLevelsWritten; // networks written by the save under way
    QImage m_imgSplash;     // imgSplash's picture
    QImage m_picBackground; // picBackground's picture
    std::shared_ptr<Node> m_movingNode; // the node of node move mode
    std::shared_ptr<const NetworkHitIndex> m_hitIndex; // dropped by edits and drawing
    qsizetype m_hitTestVisits = 0;
    bool m_drawingHeld = false;
    bool m_drawingWanted = false; // asked for while held
    qsizetype m_drawings = 0;

    // Child controls, owned by the control.
    NetworkCanvas* m_picnetwork = nullptr;
    QTimer* m_timPolling = nullptr;
    Circle* m_circle1 = nullptr;
    Circle* m_circle2 = nullptr;
    CanvasLine* m_linLink = nullptr;      // owned by the canvas
    CanvasLine* m_rubberBand[4] = {};     // Line1 to Line4, owned by the canvas
    CanvasLineArray m_linLinks;
    NarratorButtonSet m_cmdNarrater; // element 0 and the buttons of the network shown
    QMenu* m_mnuNode = nullptr;
    QMenu* m_mnuNetwork = nullptr;
    QMenu* m_mnuLink = nullptr;
    QMenu* m_mnuPickup = nullptr;
    QMenu* m_mnuApply = nullptr;
};

} // namespace kelvane
