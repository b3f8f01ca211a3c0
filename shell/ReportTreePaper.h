#pragma once

#include <QFont>
#include <QImage>
#include <functional>

class QPainter;
class QTreeWidgetItem;

namespace kelvane {

// The report tree laid out for paper, in twips: every line is its picture, 500 square, with
// its text beside it, centred on the picture; the lines below a line stand 750 further right,
// joined to it by connectors. Pages are slices of that drawing one printable page high.
class ReportTreePaper {
public:
    static constexpr double kIcon = 500;
    static constexpr double kLeft = 150;  // where the first line starts
    static constexpr double kTop = 450;
    static constexpr double kGap = 625;   // from the last line of a subtree down to the next sibling's connector
    static constexpr double kHalfIcon = 250;

    using LinePicture = std::function<QImage(const QTreeWidgetItem&)>;

    // `picture` gives the picture of a line.
    ReportTreePaper(const QTreeWidgetItem& root, const QFont& font, LinePicture picture);

    // The vertical position of the text of the tree's last line: how far the drawing reaches.
    double Extent() const;

    // The pages the drawing takes: enough to hold the last line's picture below its text
    // position, at least one.
    static int PageCount(double extent, double pageHeight);

    // The slice of the drawing from `top` down, `width` by `height` twips, on white at 15
    // twips a pixel.
    QImage Page(double top, double width, double height) const;

private:
    // Draws the node and its subtree with its top left corner at (x, y), `top` being the top
    // of the slice painted (nothing is painted without a painter); returns the text position
    // of the last line drawn.
    double DrawNode(QPainter* painter, const QTreeWidgetItem& node, double x, double y, double top) const;
    double textHeight(const QString& text) const;

    const QTreeWidgetItem& m_root;
    QFont m_font;
    LinePicture m_picture;
};

} // namespace kelvane
