#include "platform/gui/QtPrinter.h"

#include <QApplication>
#include <QPrintDialog>

namespace platform {

std::unique_ptr<Printer> ServiceDefault<Printer>::create()
{
    return std::make_unique<QtPrinter>();
}

QtPrinter::QtPrinter() : m_printer(QPrinter::HighResolution) {}

QtPrinter::QtPrinter(const QString& pdfFile) : QtPrinter()
{
    m_printer.setOutputFormat(QPrinter::PdfFormat);
    m_printer.setOutputFileName(pdfFile);
}

QtPrinter::~QtPrinter()
{
    EndDoc();
}

void QtPrinter::startJob()
{
    if (m_page)
        return;
    if (m_painter.begin(&m_printer))
        m_page = std::make_unique<PainterCanvas>(m_painter);
    else
        m_page = std::make_unique<PainterCanvas>(m_nowhere);
}

Canvas& QtPrinter::page()
{
    startJob();
    return *m_page;
}

void QtPrinter::PaintPicture(const QImage& picture, const QRectF& twips)
{
    startJob();
    if (!m_painter.isActive() || picture.isNull())
        return;
    const double x = m_page->twipsPerPixelX();
    const double y = m_page->twipsPerPixelY();
    m_painter.drawImage(QRectF(twips.x() / x, twips.y() / y, twips.width() / x, twips.height() / y), picture);
}

void QtPrinter::NewPage()
{
    startJob();
    if (m_painter.isActive())
        m_printer.newPage();
}

void QtPrinter::EndDoc()
{
    m_page.reset();
    if (m_painter.isActive())
        m_painter.end();
}

int QtPrinter::Orientation() const
{
    return m_printer.pageLayout().orientation() == QPageLayout::Landscape ? kLandscape : kPortrait;
}

void QtPrinter::setOrientation(int orientation)
{
    m_printer.setPageOrientation(orientation == kLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

bool QtPrinter::ShowPrinter()
{
    EndDoc();
    QPrintDialog dialog(&m_printer, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted;
}

} // namespace platform
