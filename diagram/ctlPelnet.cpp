// The diagram control's core: child controls, initialisation, resizing, the keyboard, the
// current-network properties, redrawing, pictures, and the order of the network collection.

#include "diagram/ctlPelnet.h"

#include "diagram/AbstractKnowledgeBaseEvents.h"
#include "diagram/AbstractServerSession.h"
#include "diagram/DiagramHostDisplay.h"
#include "diagram/DiagramSupport.h"
#include "diagram/NamesMeasuredAhead.h"
#include "diagram/NarratorButton.h"
#include "diagram/NetworkCanvas.h"
#include "model/ErrorTrap.h"
#include "model/Layer.h"
#include "model/basGlobal.h"
#include "model/basLibrary.h"
#include "platform/HostPath.h"
#include "platform/PointerCodes.h"
#include "platform/Printer.h"
#include "platform/UiServices.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <unordered_set>
#include <utility>

namespace kelvane {

using namespace diagramsupport;

namespace {

constexpr int kSpaceKey = 32;

} // namespace

ctlPelnet::ctlPelnet(QWidget* parent)
    : QWidget(parent)
    , m_display(std::make_shared<DiagramHostDisplay>(*this))
    , m_picnetwork(new NetworkCanvas(this))
    , m_timPolling(new QTimer(this))
    , m_linLinks(*m_picnetwork)
    , m_cmdNarrater(*this)
{
    m_cmdNarrater.installEventFilter(this);
    connect(m_timPolling, &QTimer::timeout, this, &ctlPelnet::timPolling_Timer);
    createMenus();
    connectMenus();
    createPointerFeedback();
    UserControl_Initialize();
}

ctlPelnet::~ctlPelnet()
{
    unloadNarratorButtons();
    // The networks may outlive the control; they stop calling it now.
    m_display.reset();
    // Levels that open each other hold each other: the document lets go of those references
    // so it is freed with the control.
    for (const auto& network : Networks) {
        try {
            if (network)
                forEachNode(*network, [](const std::shared_ptr<Node>& node) { node->LowerLevelNetwork.reset(); });
        } catch (...) {
            // A damaged network keeps what it holds.
        }
    }
}

// --- Child controls ---------------------------------------------------------------------------

NarratorButton* ctlPelnet::cmdNarrater(qint32 index)
{
    NarratorButton* button = m_cmdNarrater.element(index);
    if (!button)
        raiseError(err::SubscriptOutOfRange);
    return button;
}


void ctlPelnet::createMenus()
{
    m_mnuNetwork = new QMenu(QStringLiteral("&Network"), this);
    mnuNodeAdd = m_mnuNetwork->addAction(QStringLiteral("Add &Node"));
    mnuNetworkLayerAdd = m_mnuNetwork->addAction(QStringLiteral("Add &Layer"));
    mnuNetworkRefresh = m_mnuNetwork->addAction(QStringLiteral("&Restructure"));
    m_mnuNetwork->addSeparator();
    mnuNetworkCut = m_mnuNetwork->addAction(QStringLiteral("Cu&t"));
    mnuPictureCopy = m_mnuNetwork->addAction(QStringLiteral("&Copy"));
    mnuPictureCopy->setVisible(false); // no command behind it
    mnuNetworkCopy = m_mnuNetwork->addAction(QStringLiteral("&Copy"));
    mnuNetworkPaste = m_mnuNetwork->addAction(QStringLiteral("&Paste"));
    mnunetworkDelete = m_mnuNetwork->addAction(QStringLiteral("&Delete"));
    m_mnuNetwork->addSeparator();
    mnuNetworkSpellCheck = m_mnuNetwork->addAction(QStringLiteral("&Spell check"));
    m_mnuNetwork->addSeparator();
    mnuNetworkProperties = m_mnuNetwork->addAction(QStringLiteral("&Properties"));

    m_mnuNode = new QMenu(QStringLiteral("&Node"), this);
    mnuLinkAdd = m_mnuNode->addAction(QStringLiteral("&Add Link"));
    mnuNodeMove = m_mnuNode->addAction(QStringLiteral("&Move"));
    m_mnuNode->addSeparator();
    mnuNodeCut = m_mnuNode->addAction(QStringLiteral("Cu&t"));
    mnuNodeCopy = m_mnuNode->addAction(QStringLiteral("&Copy"));
    mnuNodeDelete = m_mnuNode->addAction(QStringLiteral("&Delete"));
    m_mnuNode->addSeparator();
    m_mnuPickup = m_mnuNode->addMenu(QStringLiteral("Pick up"));
    mnuPickUpAnswers = m_mnuPickup->addAction(QStringLiteral("A&nswers"));
    mnuNodePickupFont = m_mnuPickup->addAction(QStringLiteral("&Fonts"));
    m_mnuApply = m_mnuNode->addMenu(QStringLiteral("Apply"));
    mnuNodeApplyAnswers = m_mnuApply->addAction(QStringLiteral("&Answers"));
    mnuNodeApplyFonts = m_mnuApply->addAction(QStringLiteral("&Fonts"));
    m_mnuNode->addSeparator();
    mnuNodeDisabled = m_mnuNode->addAction(QStringLiteral("Disa&bled"));
    mnuNodeDisabled->setCheckable(true);
    mnuNodeColour = m_mnuNode->addAction(QStringLiteral("&Colour"));
    mnuNodeProperties = m_mnuNode->addAction(QStringLiteral("&Properties"));

    m_mnuLink = new QMenu(QStringLiteral("&Link"), this);
    mnuLinkDelete = m_mnuLink->addAction(QStringLiteral("&Delete"));
    m_mnuLink->addSeparator();
    mnuLinkProperties = m_mnuLink->addAction(QStringLiteral("&Properties"));
}

void ctlPelnet::setMenuCaptions()
{
    mnuNodeAdd->setText(QStringLiteral("&") + QStringLiteral("Add Node"));
    mnuNetworkRefresh->setText(QStringLiteral("&Restructure"));
    mnuNetworkCut->setText(QStringLiteral("Cu&t"));
    mnuNetworkCopy->setText(QStringLiteral("&Copy"));
    mnuNetworkPaste->setText(QStringLiteral("&Paste"));
    mnunetworkDelete->setText(QStringLiteral("&Delete"));
    mnuNetworkProperties->setText(QStringLiteral("&Properties"));
    mnuLinkAdd->setText(QStringLiteral("&") + QStringLiteral("Add Link"));
    mnuNodeMove->setText(QStringLiteral("&Move"));
    mnuNodeCut->setText(QStringLiteral("Cu&t"));
    mnuNodeCopy->setText(QStringLiteral("&Copy"));
    mnuNodeDelete->setText(QStringLiteral("&Delete"));
    mnuNodeDisabled->setText(QStringLiteral("Disa&bled"));
    mnuNodeProperties->setText(QStringLiteral("&Properties"));
    mnuLinkDelete->setText(QStringLiteral("&Delete"));
    mnuLinkProperties->setText(QStringLiteral("&Properties"));
}

// --- Initialisation, resizing, keyboard, timer --------------------------------------------------

void ctlPelnet::UserControl_Initialize()
{
    trappedVoid(kModule, "UserControl_Initialize", [&] {
        setMenuCaptions();
        const auto root = Network();
        attach(*root);
        root->Index = 1;
        Networks.Add(root);
        setNetworkIndex(1);
        Loaded = true;
    });
}

void ctlPelnet::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    UserControl_Resize();
}

// No yield here: the next resize of a drag would be handled inside this one.
void ctlPelnet::UserControl_Resize()
{
    trappedVoid(kModule, "UserControl_Resize", [&] {
        // The canvas takes the control's extent rounded down to even numbers.
        m_picnetwork->setGeometry(0, 0, 2 * (width() / 2), 2 * (height() / 2));
    });
}

void ctlPelnet::keyReleaseEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat())
        UserControl_KeyUp(event->key(), platform::pointer::shiftCode(event->modifiers()));
    QWidget::keyReleaseEvent(event);
}

namespace {

// The focus comes back to a button when a popup menu, the menu bar or another window lets
// go of it: the user moved nowhere, and the selection stays as it is.
bool focusMovedToTheButton(const QEvent& event)
{
    switch (static_cast<const QFocusEvent&>(event).reason()) {
    case Qt::PopupFocusReason:
    case Qt::ActiveWindowFocusReason:
    case Qt::MenuBarFocusReason:
        return false;
    default:
        return true;
    }
}

} // namespace

bool ctlPelnet::eventFilter(QObject* watched, QEvent* event)
{
    if (auto* button = dynamic_cast<NarratorButton*>(watched)) {
        if (event->type() == QEvent::FocusIn && !m_buildingButtons && focusMovedToTheButton(*event))
            cmdNarrater_GotFocus(button->Index());
    }
    return QWidget::eventFilter(watched, event);
}

void ctlPelnet::UserControl_KeyUp(int KeyCode, int Shift)
{
    trappedVoid(kModule, "UserControl_KeyUp", [&] {
        if (KeyCode != kSpaceKey)
            return;
        // The last selected node in layer-then-node order.
        std::shared_ptr<Node> candidate;
        forEachNode(*ActiveNetwork(), [&](const std::shared_ptr<Node>& node) {
            if (node->Selected())
                candidate = node;
        });
        if (!candidate)
            return;
        if (DisplayOverview) {
            ZoomIn(candidate);
            DisplayOverview = false;
            DrawNetwork(false);
        } else if (basGlobal::ApplicationMode == 1) {
            qint16 button = 0;
            liveKnowledgeBase().FireNodeMouseClick(button, candidate);
            platform::ui().yield();
            Q_EMIT Click(candidate);
            platform::ui().yield();
        } else {
            NodeFound = candidate;
            picnetwork_DblClick();
        }
    });
}

void ctlPelnet::timPolling_Timer()
{
    // Polling has nothing to do.
}

// --- Properties -------------------------------------------------------------------------------

void ctlPelnet::setSplash(const QImage& picture)
{
    m_imgSplash = picture;
    Refresh();
}

void ctlPelnet::setBackground(const QImage& picture)
{
    m_picBackground = picture;
    Refresh();
}

void ctlPelnet::setNetworkIndex(qint16 index)
{
    trappedVoid(kModule, "NetworkIndex", [&] {
        m_networkIndex = index;
        if (Connected) {
            const double seconds = requireObject(Networks.Item(index))->PollingInterval;
            m_timPolling->setInterval(conv::toInt32(seconds * 1000.0));
        }
    });
}

std::shared_ptr<clsNetwork> ctlPelnet::Network()
{
    if (!m_network)
        m_network = clsNetwork::create();
    return m_network;
}

void ctlPelnet::setNetwork(const std::shared_ptr<clsNetwork>& network)
{
    trappedVoid(kModule, "Network", [&] {
        m_network = requireObject(network);
        m_notOpened = false; // a document of its own
        m_network->Index = 1;
        attach(*m_network);
        setNetworkIndex(1);
    });
}

bool ctlPelnet::Enabled() const
{
    return m_picnetwork->isEnabled();
}

void ctlPelnet::setEnabled(bool enabled)
{
    m_picnetwork->setEnabled(enabled);
}

void ctlPelnet::attach(clsNetwork& network)
{
    network.ParentDisplay = m_display;
}

void ctlPelnet::setServerSession(std::shared_ptr<AbstractServerSession> session)
{
    m_serverSession = std::move(session);
}

// --- Drawing ----------------------------------------------------------------------------------

void ctlPelnet::loadBackgroundFile(const QString& fileName)
{
    if (!fileName.isEmpty() && basLibrary::FileExists(fileName))
        m_picBackground = QImage(platform::hostPath(fileName));
}

void ctlPelnet::Refresh()
{
    trappedVoid(kModule, "Refresh", [&] {
        loadBackgroundFile(ActiveNetwork()->Background);
        DrawNetwork(false);
    });
}

void ctlPelnet::DrawNetwork(bool bPrint)
{
    // Whatever changed since the last drawing, the hit tests find it anew.
    forgetHitLayout();
    if (m_drawingHeld && !bPrint) {
        m_drawingWanted = true;
        return;
    }
    trappedVoid(kModule, "DrawNetwork", [&] {
        if (m_picBackground.isNull())
            loadBackgroundFile(Network()->Background);
        if (m_picBackground.isNull()) {
            m_picnetwork->setBackColor(basGlobal::Settings.BackColour);
        } else if (bPrint) {
            auto& printer = platform::printer();
            printer.PaintPicture(m_picBackground, QRectF(0, 0, printer.page().ScaleWidth(), printer.page().ScaleHeight()));
        } else {
            m_picnetwork->PaintPicture(m_picBackground, QRectF(0, 0, m_picnetwork->ScaleWidth(), m_picnetwork->ScaleHeight()));
        }
        const auto shown = ActiveNetwork();
        if (bPrint) {
            shown->DrawNetwork(platform::printer().page());
        } else {
            ++m_drawings;
            shown->DrawNetwork(m_picnetwork->canvas());
            m_picnetwork->drawingDone();
        }
        m_picnetwork->update();
    });
}

std::unique_ptr<NamesMeasuredAhead> ctlPelnet::measureNamesAhead()
{
    std::weak_ptr<clsNetwork> shown; // none when it cannot be found: nothing is measured
    skippingErrors([&] { shown = shownNetwork(); });
    return std::make_unique<NamesMeasuredAhead>(shown, *m_picnetwork);
}

void ctlPelnet::holdDrawing()
{
    m_drawingHeld = true;
}

void ctlPelnet::releaseDrawing()
{
    m_drawingHeld = false;
    if (std::exchange(m_drawingWanted, false))
        DrawNetwork(false);
}

// --- Pictures of the document -------------------------------------------------------------------

void ctlPelnet::LoadSplash()
{
    trappedVoid(kModule, "LoadSplash", [&] {
        const QString fileName = Network()->Picture;
        if (basLibrary::FileExists(fileName))
            SplashFile = basLibrary::ReadWholeFile(fileName);
        else if (fileName.isEmpty())
            SplashFile.clear();
    });
}

void ctlPelnet::LoadBackground()
{
    trappedVoid(kModule, "LoadBackground", [&] {
        const QString fileName = Network()->Background;
        if (basLibrary::FileExists(fileName))
            BackgroundFile = basLibrary::ReadWholeFile(fileName);
        else if (fileName.isEmpty())
            BackgroundFile.clear();
    });
}

// --- The network collection -----------------------------------------------------------------------

bool ctlPelnet::Dirty()
{
    return trapped(kModule, "Dirty", false, [&] {
        for (const auto& network : Networks) {
            if (requireObject(network)->Dirty())
                return true;
        }
        return false;
    });
}

bool ctlPelnet::ReorderNetworks()
{
    return trapped(kModule, "ReorderNetworks", false, [&] {
        Collection<std::shared_ptr<clsNetwork>> ordered;
        std::unordered_set<QString> guids;
        const auto root = Network();
        ordered.Add(root);
        guids.insert(root->GUID());
        for (qsizetype position = 1; position <= ordered.Count(); ++position) {
            forEachNode(*ordered.Item(position), [&](const std::shared_ptr<Node>& node) {
                if (!node->LowerLevelNetwork)
                    return;
                const auto lower = lowerLevelNetworkOf(*node);
                if (!guids.insert(lower->GUID()).second)
                    return;
                lower->Index = conv::toInt16(double(ordered.Count() + 1));
                ordered.Add(lower);
            });
        }
        Networks = std::move(ordered);
        return true;
    });
}

} // namespace kelvane
