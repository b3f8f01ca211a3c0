#include "shell/KelvaneTreeview.h"

#include "answercontrols/Twips.h"
#include "model/AbstractKnowledgeBase.h"
#include "model/AbstractNetwork.h"
#include "model/ErrorTrap.h"
#include "model/Report.h"
#include "model/ReportItem.h"
#include "model/RequireObject.h"
#include "model/basGlobal.h"
#include "platform/Clock.h"
#include "platform/Printer.h"
#include "platform/UiServices.h"
#include "shell/ReportTreePaper.h"
#include "shell/ToolPictures.h"

#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QScopeGuard>
#include <QTreeWidget>
#include <algorithm>
#include <unordered_map>
#include <vector>

namespace kelvane {

namespace {

constexpr const char* kModule = "KelvaneTreeview";
const QString kRootKey = QStringLiteral("Root");
constexpr int kKeyRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;

constexpr int kRootImage = 1;
constexpr int kUnknownImage = 16;
constexpr int kContradictionImage = 17;
constexpr int kJustificationImage = 18;
constexpr int kPicturePixels = 32;

constexpr int kFrameTop = 30;         // twips
constexpr int kFrameRightMargin = 300;
constexpr double kHeaderRightMargin = 150;

QString keyText(const QString& text)
{
    return QString(text).replace(u'\r', u' ');
}

QImage linePicture(int image)
{
    return toolpictures::ReportLine(image, kPicturePixels).toImage();
}

// How much a tree opened to the last level holds: its lines, and the characters of their keys.
struct TreeSize {
    qint64 lines = 0;
    qint64 keyCharacters = 0;

    bool within(const TreeSize& most) const { return lines <= most.lines && keyCharacters <= most.keyCharacters; }
};

// The most a printed tree holds.
constexpr TreeSize kMostPrinted {10'000, 50'000'000};

// What the lines below an item's line add once it is opened to the last level, as DrawReportItem
// makes them: a line for each sub-item with the lines below it, and one for the justification.
// Their keys are counted beyond the item's own key, which each of them begins with. An item
// listed under several lines is counted once; counts stop growing past the limits, however many
// paths a report has.
class SizeBelow {
public:
    explicit SizeBelow(TreeSize most) : m_most(most) {}

    TreeSize of(const ReportItem& top)
    {
        // Depth first on a stack of its own: a chain of evidence can be thousands of levels deep.
        std::vector<Counting> open {start(top)};
        for (;;) {
            Counting& counting = open.back();
            const auto& subItems = counting.item->ReportItems();
            if (counting.next < subItems.Count()) {
                const ReportItem* sub = subItems.Item(++counting.next).get();
                if (!sub)
                    continue;
                if (const auto counted = m_counted.find(sub); counted != m_counted.end())
                    addLine(counting.size, sub->Text.size(), counted->second);
                else
                    open.push_back(start(*sub));
                continue;
            }
            const Counting done = counting;
            open.pop_back();
            m_counted.emplace(done.item, done.size);
            if (open.empty())
                return done.size;
            addLine(open.back().size, done.item->Text.size(), done.size);
        }
    }

private:
    struct Counting {
        const ReportItem* item;
        qsizetype next; // sub-items counted so far
        TreeSize size;
    };

    static Counting start(const ReportItem& item)
    {
        const bool justified = !item.Justification.isEmpty();
        return {&item, 0, {justified ? 1 : 0, item.Justification.size()}};
    }

    // Adds a line whose key adds `keyText` characters, with `below` below it.
    void addLine(TreeSize& size, qint64 keyText, const TreeSize& below) const
    {
        size.lines = std::min(size.lines + 1 + below.lines, m_most.lines + 1);
        size.keyCharacters = std::min(size.keyCharacters + keyText * (1 + below.lines) + below.keyCharacters,
                                      m_most.keyCharacters + 1);
    }

    TreeSize m_most;
    std::unordered_map<const ReportItem*, TreeSize> m_counted;
};

} // namespace

KelvaneTreeview::KelvaneTreeview(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("KelvaneTreeview"));
    m_TreeView1 = new QTreeWidget(this);
    m_TreeView1->setObjectName(QStringLiteral("TreeView1"));
    m_TreeView1->setHeaderHidden(true);
    m_TreeView1->setColumnCount(1);
    m_TreeView1->setIconSize(QSize(16, 16));
    m_TreeView1->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    connect(m_TreeView1, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* line) { openLine(*line); });

    m_Frame1 = new QLabel(this);
    m_Frame1->setObjectName(QStringLiteral("Frame1"));
    m_Frame1->setPixmap(toolpictures::Logo(kPicturePixels));
    m_Frame1->adjustSize();
    m_Frame1->raise();
}

KelvaneTreeview::~KelvaneTreeview() = default;

void KelvaneTreeview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_TreeView1->setGeometry(0, 0, width(), height());
    m_Frame1->move(width() - m_Frame1->width() - twips::toPixels(kFrameRightMargin), twips::toPixels(kFrameTop));
}

QTreeWidgetItem* KelvaneTreeview::Node(const QString& key) const
{
    return m_nodes.value(key, nullptr);
}

int KelvaneTreeview::ImageOf(const QTreeWidgetItem& node)
{
    return node.data(0, kImageRole).toInt();
}

QString KelvaneTreeview::addNode(const QString& parentKey, const QString& key, const QString& text, int image)
{
    QString unique = key;
    for (int n = 2; m_nodes.contains(unique); ++n)
        unique = key + u'\x1f' + QString::number(n);

    QTreeWidgetItem* node = nullptr;
    if (parentKey.isEmpty()) {
        node = new QTreeWidgetItem(m_TreeView1);
    } else {
        QTreeWidgetItem* parent = requireObject(Node(parentKey));
        node = new QTreeWidgetItem(parent);
    }
    node->setText(0, text);
    node->setIcon(0, QIcon(toolpictures::ReportLine(image, kPicturePixels)));
    node->setData(0, kKeyRole, unique);
    node->setData(0, kImageRole, image);
    m_nodes.insert(unique, node);
    return unique;
}

void KelvaneTreeview::DrawReport()
{
    m_unopened.clear();
    m_TreeView1->clear();
    m_nodes.clear();
    trappedVoid(kModule, "DrawReport", [&] {
        const auto knowledgeBase = requireObject(KnowledgeBase);
        requireObject(knowledgeBase->Network());
        Report report;
        report.KnowledgeBase = knowledgeBase;
        addNode({}, kRootKey, report.Name(), kRootImage); // the title, and the scenario's name
        for (const auto& item : report.ReportItems())
            addItemLine(kRootKey, item);
        m_TreeView1->topLevelItem(0)->setExpanded(true);
    });
}

void KelvaneTreeview::addItemLine(const QString& parentKey, const std::shared_ptr<ReportItem>& item)
{
    // The root's lines are keyed by their text alone.
    const QString prefix = parentKey == kRootKey ? QString() : parentKey;
    const QString key = addNode(parentKey, prefix + keyText(item->Text), item->Text, GetDrawIcon(*item));
    if (item->ReportItems().isEmpty() && item->Justification.isEmpty())
        return;
    QTreeWidgetItem* line = Node(key);
    line->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    m_unopened.insert(line, item);
}

void KelvaneTreeview::openLine(QTreeWidgetItem& line)
{
    const auto item = m_unopened.take(&line);
    if (!item)
        return;
    line.setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    DrawReportItem(line.data(0, kKeyRole).toString(), *item);
}

void KelvaneTreeview::makeAllLines()
{
    while (!m_unopened.isEmpty())
        openLine(*m_unopened.begin().key());
}

void KelvaneTreeview::DrawReportItem(const QString& parentKey, ReportItem& item)
{
    trappedVoid(kModule, "DrawReportItem", [&] {
        for (const auto& sub : item.ReportItems())
            addItemLine(parentKey, sub);
        if (!item.Justification.isEmpty())
            addNode(parentKey, parentKey + keyText(item.Justification), item.Justification, kJustificationImage);
    });
}

int KelvaneTreeview::GetDrawIcon(const ReportItem& item)
{
    if (item.Contradiction)
        return kContradictionImage;
    if (item.Unknown)
        return kUnknownImage;
    static constexpr int kByGrade[] = {9, 10, 11, 12, 13, 15, 8, 7, 6, 5, 4};
    if (item.Value >= 0 && item.Value <= 10)
        return kByGrade[item.Value];
    return 0;
}

bool KelvaneTreeview::fitsOnPaper() const
{
    TreeSize size {m_nodes.size(), 0};
    for (auto made = m_nodes.cbegin(); made != m_nodes.cend(); ++made)
        size.keyCharacters += made.key().size();
    SizeBelow below(kMostPrinted);
    for (auto unopened = m_unopened.cbegin(); unopened != m_unopened.cend() && size.within(kMostPrinted); ++unopened) {
        const TreeSize added = below.of(*unopened.value());
        size.lines += added.lines;
        size.keyCharacters += added.lines * unopened.key()->data(0, kKeyRole).toString().size() + added.keyCharacters;
    }
    return size.within(kMostPrinted);
}

void KelvaneTreeview::PrintTree()
{
    // Every level is printed, opened or not; a tree larger than paper is sensibly given is
    // refused before its lines are made.
    if (!fitsOnPaper()) {
        platform::ui().messageBox(QStringLiteral("The report is too large to print."), platform::msgbox::Exclamation,
                                  platform::applicationTitle());
        return;
    }
    makeAllLines();
    trappedVoid(kModule, "PrintTree", [&] {
        platform::Printer& printer = platform::printer();
        platform::ui().setBusyPointer(true);
        const auto finish = qScopeGuard([&] {
            printer.EndDoc();
            platform::ui().setBusyPointer(false);
        });

        platform::FontDescription fontDescription;
        fontDescription.name = basGlobal::DefaultFontName;
        const ReportTreePaper paper(*requireObject(m_TreeView1->topLevelItem(0)), fontDescription,
                                    [](const QTreeWidgetItem& node) { return linePicture(ImageOf(node)); });
        platform::Canvas& page = printer.page();
        page.setFont(fontDescription);
        const double width = page.ScaleWidth();
        const double height = page.ScaleHeight();
        const QString printed = QLocale::c().toString(platform::clock().localNow(), QStringLiteral("hh:mm:ss dd MMM yyyy"));
        const QImage logo = m_Frame1->pixmap().toImage();
        const int pages = ReportTreePaper::PageCount(paper.Extent(), height);

        const auto printRightAligned = [&](const QString& text, double y) {
            page.setCurrentX(width - kHeaderRightMargin - page.TextWidth(text));
            page.setCurrentY(y);
            page.Print(text);
        };
        for (int number = 1; number <= pages; ++number) {
            paper.PrintPage(printer, (number - 1) * height, height);
            printRightAligned(printed, ReportTreePaper::kTop);
            const double logoWidth = logo.width() * twips::kPerPixel;
            printer.PaintPicture(logo, QRectF(width - logoWidth, ReportTreePaper::kTop + page.TextHeight(printed), logoWidth,
                                              logo.height() * twips::kPerPixel));
            const QString footer = QStringLiteral("Page %1 of %2").arg(number).arg(pages);
            printRightAligned(footer, height - page.TextHeight(footer));
            if (number < pages)
                printer.NewPage();
        }
    });
}

} // namespace kelvane
