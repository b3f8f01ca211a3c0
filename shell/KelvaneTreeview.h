#pragma once

#include <QHash>
#include <QWidget>
#include <memory>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace kelvane {

class AbstractKnowledgeBase;
class ReportItem;

// The explanation of the current consultation as a tree: a root line with the knowledge base's
// title (and scenario), below it one line per report item with a picture for its grade or
// state, and an item's justification as its last sub-line. The logo stands at the top right.
// The tree can be printed on paper in pages, every level shown whether expanded or not.
//
// The lines below a line are made when the line is first opened (or printed): a report of
// many paths lists its shared evidence under every conclusion, and only the branches the
// user opens are laid out.
//
// Every line has a key: its parent's key followed by its text with carriage returns as blanks
// (the root's is "Root"). Keys are unique: a line whose key is taken (two sibling items with the
// same text) gets a numbered one, so both lines show.
class KelvaneTreeview : public QWidget {
public:
    explicit KelvaneTreeview(QWidget* parent = nullptr);
    ~KelvaneTreeview() override;

    // The knowledge base whose report is shown; the host sets it before every DrawReport.
    std::shared_ptr<AbstractKnowledgeBase> KnowledgeBase;

    // Builds the tree again from a new report of the knowledge base; without one the tree
    // stays empty.
    void DrawReport();

    // The picture index of an item: 17 contradiction, 16 unknown, else by grade 10 (true) to 0
    // (false): 4, 5, 6, 7, 8, 15, 13, 12, 11, 10, 9; 0 for any other value.
    static int GetDrawIcon(const ReportItem& item);

    // Adds the item's sub-items and then its justification below the line `parentKey`; the
    // lines below each sub-item are added when it is opened.
    void DrawReportItem(const QString& parentKey, ReportItem& item);

    // Prints the whole tree on the current printer, in pages with the print time and the logo at
    // the top and the page number at the bottom. The job is ended and the pointer restored even
    // when printing fails. A tree that, opened to the last level, would hold more than 10,000
    // lines, or keys of more than 50 million characters in all (a line's key repeats every text
    // above it), is refused with a message before its lines are made.
    void PrintTree();

    QTreeWidget* TreeView1() const { return m_TreeView1; }
    QLabel* Frame1() const { return m_Frame1; }
    // The line with that key; null when there is none.
    QTreeWidgetItem* Node(const QString& key) const;
    // The picture index of a line.
    static int ImageOf(const QTreeWidgetItem& node);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Adds a line below the line `parentKey` (a top line without one) and gives back its key.
    QString addNode(const QString& parentKey, const QString& key, const QString& text, int image);
    // Adds the line of a report item below `parentKey`; its own lines wait until it is opened.
    void addItemLine(const QString& parentKey, const std::shared_ptr<ReportItem>& item);
    // Makes the lines below a line that was not opened before.
    void openLine(QTreeWidgetItem& line);
    // Makes every line not made yet, down to the last level.
    void makeAllLines();
    // Whether the tree, opened to the last level, holds no more than a print may.
    bool fitsOnPaper() const;

    QTreeWidget* m_TreeView1 = nullptr;
    QLabel* m_Frame1 = nullptr;
    QHash<QString, QTreeWidgetItem*> m_nodes;
    QHash<QTreeWidgetItem*, std::shared_ptr<ReportItem>> m_unopened; // lines whose own lines are not made yet
};

} // namespace kelvane
