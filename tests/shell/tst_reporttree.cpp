// The report tree: its lines for a consulted knowledge base, and its printing in pages.

#include "tests/shell/ShellTestSupport.h"

#include "diagram/ctlPelnet.h"
#include "model/Layer.h"
#include "model/Node.h"
#include "model/Report.h"
#include "model/ReportItem.h"
#include "model/TextLabel.h"
#include "model/doubles/StubKnowledgeBase.h"
#include "model/doubles/TestNetwork.h"
#include "network/clsNetwork.h"
#include "platform/Clock.h"
#include "platform/doubles/FixedClock.h"
#include "platform/gui/QtPrinter.h"
#include "shell/KelvaneTreeview.h"
#include "shell/ReportTreePaper.h"
#include "shell/ToolBands.h"

#include <QAction>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

using namespace kelvane;

namespace {

// Opens every line of the tree, level by level, as a user clicking each branch would.
void openAll(QTreeWidget& tree)
{
    std::vector<QTreeWidgetItem*> lines;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        lines.push_back(tree.topLevelItem(i));
    while (!lines.empty()) {
        QTreeWidgetItem* line = lines.back();
        lines.pop_back();
        line->setExpanded(true);
        for (int i = 0; i < line->childCount(); ++i)
            lines.push_back(line->child(i));
    }
}

// Every line below `line`, depth first, indented by its level.
QStringList linesBelow(const QTreeWidgetItem* line, const QString& indent = {})
{
    QStringList lines;
    for (int i = 0; i < line->childCount(); ++i) {
        lines << indent + line->child(i)->text(0);
        lines << linesBelow(line->child(i), indent + QStringLiteral("  "));
    }
    return lines;
}

QStringList childTexts(const QTreeWidgetItem* node)
{
    QStringList texts;
    for (int i = 0; i < node->childCount(); ++i)
        texts << node->child(i)->text(0);
    return texts;
}

// A knowledge base of `count` top conclusions named "Conclusion n", each with one piece of
// evidence; `duplicate` names the first two alike.
std::shared_ptr<doubles::StubKnowledgeBase> knowledgeBase(int count, bool duplicate = false)
{
    auto network = doubles::TestNetwork::create();
    network->name = std::make_shared<TextLabel>();
    network->name->setText(QStringLiteral("Engines"));
    for (int i = 1; i <= count; ++i) {
        const auto conclusion = network->addNode(2);
        conclusion->Name()->setText(duplicate && i == 2 ? QStringLiteral("Conclusion 1") : QStringLiteral("Conclusion %1").arg(i));
        const auto evidence = network->addNode(1);
        evidence->Name()->setText(QStringLiteral("Evidence %1").arg(i));
        network->link(conclusion, evidence);
    }
    auto base = std::make_shared<doubles::StubKnowledgeBase>();
    base->network = network;
    return base;
}

// A knowledge base of a chain of `depth` questions, each resting on the one below it; the question
// at each level named by `nameOf`.
std::shared_ptr<doubles::StubKnowledgeBase> chainKnowledgeBase(int depth, const std::function<QString(int)>& nameOf)
{
    auto network = doubles::TestNetwork::create();
    std::shared_ptr<Node> below;
    for (int level = 1; level <= depth; ++level) {
        const auto node = network->addNode(qint16(1));
        node->Name()->setText(nameOf(level));
        if (below)
            network->link(node, below);
        below = node;
    }
    auto base = std::make_shared<doubles::StubKnowledgeBase>();
    base->network = network;
    return base;
}

int pdfPages(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return int(QString::fromLatin1(file.readAll()).count(page));
}

class ReportTree : public test::ShellTest {};

TEST_F(ReportTree, TheTreeShowsTheConsultationWithItsPicturesAndJustifications)
{
    frmNavigate& w = load(sample());
    const auto network = w.ctlPelnet1().Network();
    network->setScenarioName(QStringLiteral("Monday"));
    const auto lights = network->Layers().Item(1)->Nodes().Item(1);
    lights->Justification->setText(QStringLiteral("Seen\rat night"));
    lights->setAnswer(1);

    w.SSActiveToolBars1().Tool(QStringLiteral("&Tree"))->trigger();
    KelvaneTreeview& tree = *w.KelvaneTreeview1();
    EXPECT_TRUE(tree.isVisible());
    const QTreeWidgetItem* root = tree.TreeView1()->topLevelItem(0);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->text(0), kSampleName + QStringLiteral(" - Monday"));
    EXPECT_EQ(KelvaneTreeview::ImageOf(*root), 1);
    EXPECT_EQ(tree.Node(QStringLiteral("Root")), root);
    ASSERT_GT(root->childCount(), 0);
    EXPECT_TRUE(root->child(0)->text(0).startsWith(QStringLiteral("Call for help is ")));

    // The answered evidence shows under every conclusion it supports, its justification last.
    openAll(*tree.TreeView1());
    const auto found = tree.TreeView1()->findItems(QStringLiteral("Lights dim"), Qt::MatchContains | Qt::MatchRecursive);
    ASSERT_FALSE(found.isEmpty());
    const QTreeWidgetItem* line = found.first();
    EXPECT_NE(KelvaneTreeview::ImageOf(*line), 16); // answered: graded by its link
    ASSERT_EQ(line->childCount(), 1);
    EXPECT_EQ(line->child(0)->text(0), QStringLiteral("Seen\rat night"));
    EXPECT_EQ(KelvaneTreeview::ImageOf(*line->child(0)), 18);
    EXPECT_TRUE(line->child(0)->data(0, Qt::UserRole).toString().endsWith(QStringLiteral("Seen at night")));

    tree.KnowledgeBase.reset();
    tree.DrawReport();
    EXPECT_EQ(tree.TreeView1()->topLevelItemCount(), 0);
}

TEST_F(ReportTree, PicturesFollowTheGradeAndSiblingsOfOneTextBothShow)
{
    ReportItem item;
    const int byGrade[] = {9, 10, 11, 12, 13, 15, 8, 7, 6, 5, 4};
    for (qint16 grade = 0; grade <= 10; ++grade) {
        item.Value = grade;
        EXPECT_EQ(KelvaneTreeview::GetDrawIcon(item), byGrade[grade]);
    }
    item.Value = 11;
    EXPECT_EQ(KelvaneTreeview::GetDrawIcon(item), 0);
    item.Unknown = true;
    EXPECT_EQ(KelvaneTreeview::GetDrawIcon(item), 16);
    item.Contradiction = true;
    EXPECT_EQ(KelvaneTreeview::GetDrawIcon(item), 17);

    KelvaneTreeview tree;
    tree.KnowledgeBase = knowledgeBase(2, true);
    tree.DrawReport();
    const QTreeWidgetItem* root = tree.TreeView1()->topLevelItem(0);
    EXPECT_EQ(root->text(0), QStringLiteral("Engines"));
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(childTexts(root), QStringList({"Conclusion 1 is unknown", "Conclusion 1 is unknown"}));
    EXPECT_EQ(root->child(1)->childCount(), 0) << "made when it is opened";
    root->child(1)->setExpanded(true);
    EXPECT_EQ(childTexts(root->child(1)), QStringList {QStringLiteral("Evidence 2 is unknown")});
}

TEST_F(ReportTree, PagesHoldTheWholeTreeWithoutABlankLastPage)
{
    EXPECT_EQ(ReportTreePaper::PageCount(0, 10000), 1);
    EXPECT_EQ(ReportTreePaper::PageCount(15000, 10000), 2);
    EXPECT_EQ(ReportTreePaper::PageCount(25000, 10000), 3);
    EXPECT_EQ(ReportTreePaper::PageCount(6000, 10000), 1);
    EXPECT_EQ(ReportTreePaper::PageCount(9600, 10000), 2); // the last line's picture reaches past the page

    platform::ScopedService<platform::Clock, platform::doubles::FixedClock> clock(
        0, QDateTime(QDate(2024, 3, 1), QTime(14, 5, 17)));
    KelvaneTreeview tree;
    tree.KnowledgeBase = knowledgeBase(40);
    tree.DrawReport();
    tree.PrintTree();
    EXPECT_NE(printer->recordedPage.findPrint(QStringLiteral("14:05:17 01 Mar 2024")), nullptr);
    ASSERT_EQ(printer->endedJobs, 1);
    std::vector<QString> footers;
    for (const auto& print : printer->recordedPage.prints()) {
        if (print.text.startsWith(QStringLiteral("Page ")))
            footers.push_back(print.text);
    }
    const int pages = int(footers.size());
    ASSERT_GE(pages, 2);
    EXPECT_EQ(footers[1], QStringLiteral("Page 2 of %1").arg(pages));
    EXPECT_EQ(printer->newPages, pages - 1);
    EXPECT_EQ(ui->busyPointer, (std::vector<bool> {true, false}));

    // Drawn at the printer's own resolution: every line's text is printed as text, its
    // picture painted at its own place, the connectors drawn as lines; nothing is a picture
    // of the page.
    QStringList lines;
    for (QTreeWidgetItemIterator it(tree.TreeView1()); *it; ++it)
        lines << (*it)->text(0);
    for (const QString& line : lines)
        EXPECT_NE(printer->recordedPage.findPrint(line), nullptr) << line.toStdString();
    EXPECT_EQ(printer->pictures.size(), std::size_t(lines.size() + pages)); // each line's picture, each page's logo
    for (const auto& picture : printer->pictures)
        EXPECT_LT(picture.twips.height(), 1000);
    EXPECT_GE(printer->recordedPage.lines().size(), std::size_t(lines.size() - 1));

    // The same on paper: a PDF of as many pages as the tree needs on its printable height.
    const QString pdf = QDir(test::scratchFolder()).filePath(QStringLiteral("tree.pdf"));
    {
        platform::ScopedService<platform::Printer, platform::QtPrinter> paper(pdf);
        const double height = platform::printer().page().ScaleHeight();
        platform::printer().EndDoc();
        const auto* root = tree.TreeView1()->topLevelItem(0);
        platform::FontDescription font;
        font.name = basGlobal::DefaultFontName;
        const ReportTreePaper layout(*root, font, [](const QTreeWidgetItem&) { return QImage(); });
        tree.PrintTree();
        EXPECT_EQ(pdfPages(pdf), ReportTreePaper::PageCount(layout.Extent(), height));
    }
    EXPECT_GE(pdfPages(pdf), 2);
}

TEST_F(ReportTree, LinesOfABranchAreMadeWhenItIsOpenedSoManyPathsCostOnlyWhatIsOpened)
{
    // Two nodes a layer, each the evidence of both above: 2^17 paths below each top line.
    auto network = doubles::TestNetwork::create();
    network->name = std::make_shared<TextLabel>();
    network->name->setText(QStringLiteral("Paths"));
    constexpr int layers = 18;
    for (int layer = 1; layer <= layers; ++layer) {
        for (int i = 0; i < 2; ++i) {
            const auto node = network->addNode(qint16(layer));
            node->Name()->setText(QStringLiteral("L%1N%2").arg(layer).arg(i));
            if (layer > 1) {
                network->link(node, network->node(qint16(layer - 1), 1));
                network->link(node, network->node(qint16(layer - 1), 2));
            }
        }
    }
    network->node(1, 1)->Justification->setText(QStringLiteral("Measured"));
    auto base = std::make_shared<doubles::StubKnowledgeBase>();
    base->network = network;

    KelvaneTreeview tree;
    tree.KnowledgeBase = base;
    tree.DrawReport();
    QTreeWidgetItem* line = tree.TreeView1()->topLevelItem(0);
    EXPECT_EQ(childTexts(line), QStringList({"L18N0 is unknown", "L18N1 is unknown"}));
    // Down one branch to the bottom: two lines a level, and the justification at the end.
    for (int layer = layers; layer >= 1; --layer) {
        line = line->child(0);
        ASSERT_NE(line, nullptr) << layer;
        EXPECT_EQ(line->text(0), QStringLiteral("L%1N0 is unknown").arg(layer));
        line->setExpanded(true);
    }
    EXPECT_EQ(childTexts(line), QStringList {QStringLiteral("Measured")});
    int made = 0;
    for (QTreeWidgetItemIterator it(tree.TreeView1()); *it; ++it)
        ++made;
    EXPECT_LE(made, 1 + 2 * layers + 1);
}

TEST_F(ReportTree, OpenedLinesReadAsTheReportReads)
{
    // Shared evidence over four layers: every line opened reads as the report's walk.
    auto network = doubles::TestNetwork::create();
    for (int layer = 1; layer <= 4; ++layer) {
        for (int i = 0; i < 2; ++i) {
            const auto node = network->addNode(qint16(layer));
            node->Name()->setText(QStringLiteral("L%1N%2").arg(layer).arg(i));
            if (layer == 2 && i == 1)
                node->Justification->setText(QStringLiteral("Checked"));
            if (layer > 1) {
                network->link(node, network->node(qint16(layer - 1), 1));
                network->link(node, network->node(qint16(layer - 1), 2));
            }
        }
    }
    auto base = std::make_shared<doubles::StubKnowledgeBase>();
    base->network = network;
    KelvaneTreeview tree;
    tree.KnowledgeBase = base;
    tree.DrawReport();
    openAll(*tree.TreeView1());

    Report report;
    report.KnowledgeBase = base;
    QStringList expected;
    const auto walk = [&](const auto& self, const Collection<std::shared_ptr<ReportItem>>& items, const QString& indent) -> void {
        for (const auto& item : items) {
            expected << indent + item->Text;
            self(self, item->ReportItems(), indent + QStringLiteral("  "));
            if (!item->Justification.isEmpty())
                expected << indent + QStringLiteral("  ") + item->Justification;
        }
    };
    walk(walk, report.ReportItems(), QString());
    // Each top line: itself, and twice (for each node of layer 3) the two nodes of layer 2 with
    // their two of layer 1, plus the justification of one of them: 1 + 2 * (1 + 3 + 4).
    EXPECT_EQ(expected.size(), 2 * 17);
    EXPECT_EQ(linesBelow(tree.TreeView1()->topLevelItem(0)), expected);
}

TEST_F(ReportTree, AChainThousandsOfLevelsDeepPrintsEveryLineOnItsPage)
{
    // A chain of evidence 20,000 levels deep: every line hangs below the one above it.
    constexpr int depth = 20000;
    QTreeWidgetItem root;
    root.setText(0, QStringLiteral("0"));
    QTreeWidgetItem* deepest = &root;
    for (int level = 1; level < depth; ++level) {
        deepest = new QTreeWidgetItem(deepest);
        deepest->setText(0, QString::number(level));
    }
    // Taken apart from the bottom up, so the test does not depend on how deep a tree the
    // item's own teardown manages.
    const auto unchain = qScopeGuard([&] {
        while (deepest != &root) {
            QTreeWidgetItem* above = deepest->parent();
            delete deepest;
            deepest = above;
        }
    });

    platform::FontDescription font;
    font.name = basGlobal::DefaultFontName;
    const ReportTreePaper paper(root, font, [](const QTreeWidgetItem&) { return QImage(1, 1, QImage::Format_RGB32); });
    const double extent = paper.Extent();
    const double height = 1e6; // pages of 2,000 lines each, so the test walks the tree a few times only
    const double step = ReportTreePaper::kIcon; // each level a picture lower
    EXPECT_NEAR(extent, ReportTreePaper::kTop + (depth - 1) * step, step);
    const int pages = ReportTreePaper::PageCount(extent, height);

    std::vector<std::size_t> printsBefore;
    for (int page = 0; page < pages; ++page) {
        printsBefore.push_back(printer->recordedPage.prints().size());
        paper.PrintPage(platform::printer(), page * height, height);
    }
    const auto prints = printer->recordedPage.prints();
    ASSERT_EQ(prints.size(), std::size_t(depth)) << "every line once";
    ASSERT_EQ(printer->pictures.size(), std::size_t(depth));
    int page = 0;
    for (int level = 0; level < depth; ++level) {
        while (page + 1 < pages && printsBefore[std::size_t(page) + 1] <= std::size_t(level))
            ++page;
        const auto& print = prints[std::size_t(level)];
        ASSERT_EQ(print.text, QString::number(level));
        ASSERT_EQ(print.at.x(), ReportTreePaper::kLeft + level * (ReportTreePaper::kIcon + ReportTreePaper::kHalfIcon)
                                    + ReportTreePaper::kIcon);
        // On the page where its text lies, at its place on that page.
        const double textY = print.at.y() + page * height;
        ASSERT_NEAR(textY, ReportTreePaper::kTop + level * step, step / 2) << level;
        ASSERT_GE(print.at.y(), 0) << level;
        ASSERT_LT(print.at.y(), height) << level;
    }
    // Two connectors down to each line below the top, one of them cut at a page's edge now and then.
    EXPECT_GE(printer->recordedPage.lines().size(), std::size_t(2 * (depth - 1)));
}

TEST_F(ReportTree, FilePrintRefusesAReportOfTooManyPathsBeforeMakingItsLines)
{
    // Two nodes a layer, each the evidence of both above: 16,383 lines once every path is listed.
    constexpr int layers = 13;
    const QString path = QDir(test::scratchFolder()).filePath(QStringLiteral("lattice.xml"));
    {
        const auto network = clsNetwork::create();
        network->Name()->setText(QStringLiteral("Lattice"));
        for (qint32 layer = 1; layer <= layers; ++layer) {
            for (int i = 1; i <= 2; ++i) {
                ASSERT_TRUE(network->AddNode(layer));
                if (layer == 1)
                    continue;
                const auto& nodes = network->Layers().Item(layer)->Nodes();
                for (const auto& below : network->Layers().Item(layer - 1)->Nodes())
                    ASSERT_TRUE(network->AddLink(nodes.Item(nodes.Count()), below));
            }
        }
        network->setFileName(path);
        ASSERT_TRUE(network->FileSave());
    }
    settingvalues::setIntroductionSuppressed(QStringLiteral("Lattice"), true);
    frmNavigate& w = load(path);
    w.SSActiveToolBars1().Tool(QStringLiteral("&Tree"))->trigger();
    w.SSActiveToolBars1().Tool(QStringLiteral("&Print"))->trigger();

    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, QStringLiteral("The report is too large to print."));
    EXPECT_EQ(ui->messageBoxes[0].style, platform::msgbox::Exclamation);
    EXPECT_EQ(printer->recordedPage.prints().size(), 0u) << "lines laid out";
    EXPECT_EQ(printer->pictures.size(), 0u);
    int made = 0;
    for (QTreeWidgetItemIterator it(w.KelvaneTreeview1()->TreeView1()); *it; ++it)
        ++made;
    EXPECT_EQ(made, 3); // the title and the two top lines, as shown
}

TEST_F(ReportTree, AChainOfLongNamesIsRefusedForItsKeysThoughItHasFewLines)
{
    // Each line's key repeats every text above it: 1,000 levels of 200 characters hold keys of
    // about 100 million characters.
    KelvaneTreeview tree;
    tree.KnowledgeBase = chainKnowledgeBase(1000, [](int level) { return QStringLiteral("%1 ").arg(level) + QString(200, u'n'); });
    tree.DrawReport();
    tree.PrintTree();
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, QStringLiteral("The report is too large to print."));
    EXPECT_EQ(printer->recordedPage.prints().size(), 0u);
}

TEST_F(ReportTree, AFailedPrintEndsTheJobAndRestoresThePointer)
{
    KelvaneTreeview tree; // nothing drawn: there is no tree to print
    tree.PrintTree();
    EXPECT_EQ(printer->endedJobs, 1);
    EXPECT_EQ(ui->busyPointer, (std::vector<bool> {true, false}));
}

} // namespace
namespace {

TEST_F(ReportTree, AReportOnAChainThousandsOfLevelsDeepIsDrawnAgainAndClosed)
{
    // Each question of a 20,000-node chain rests on the one below it: the report's lines are as
    // deep as the chain, and so is letting them go when the report is drawn anew or closed.
    const auto base = chainKnowledgeBase(20000, [](int level) { return QStringLiteral("N%1").arg(level); });
    {
        KelvaneTreeview tree;
        tree.KnowledgeBase = base;
        tree.DrawReport();
        tree.DrawReport();
        ASSERT_EQ(tree.TreeView1()->topLevelItemCount(), 1);
    }
}

} // namespace
