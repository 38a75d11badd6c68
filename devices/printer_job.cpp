#include "devices/printer_job.h"

#include <QDialog>
#include <QDir>
#include <QFontMetrics>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

PrinterJob::PrinterJob(QPrinter &printer) : m_printer(printer) {}

PrinterJob::~PrinterJob()
{
    if (m_painter.isActive())
        m_painter.end();
}

void PrinterJob::useWorksheetResolution(QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        printer.setResolution(600);
}

PrintableArea PrinterJob::printableArea(const QPrinter &printer)
{
    const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
    return { area.width(), area.height() };
}

PageChoice PrinterJob::pageChoice(const QPrinter &printer)
{
    PageChoice choice;
    if (printer.printRange() == QPrinter::PageRange) {
        choice.fromPage = printer.fromPage();
        choice.toPage = printer.toPage();
    }
    // A print server makes the copies itself; a PDF file gets them from us.
    if (!printer.supportsMultipleCopies()) {
        choice.copies = printer.copyCount();
        choice.collate = printer.collateCopies();
    }
    // Qt leaves the order of the pages to the program on every printer.
    choice.lastPageFirst = printer.pageOrder() == QPrinter::LastPageFirst;
    return choice;
}

Result<void> PrinterJob::printerState(const char *failure) const
{
    if (m_printer.printerState() == QPrinter::Error)
        return Failure(QString::fromUtf8(failure));
    return {};
}

Result<void> PrinterJob::beginJob()
{
    m_printer.setDocName(QString());
    if (!m_painter.begin(&m_printer)) {
        if (m_printer.outputFormat() == QPrinter::PdfFormat)
            return Failure(u"ファイル「%1」に書き込めません。"_s.arg(m_printer.outputFileName()));
        return Failure(u"プリンター「%1」で印刷を始められません。"_s.arg(m_printer.printerName()));
    }
    return printerState("印刷を始められません。");
}

Result<void> PrinterJob::newPage()
{
    if (!m_printer.newPage())
        return Failure(u"次のページを始められません。"_s);
    return printerState("次のページを始められません。");
}

Result<void> PrinterJob::endJob()
{
    if (m_painter.isActive() && !m_painter.end())
        return Failure(u"印刷を終えられません。"_s);
    return printerState("印刷を終えられません。");
}

void PrinterJob::setFont(const QString &face, int pointSize)
{
    if (face != m_face || pointSize != m_pointSize || !m_metrics) {
        // The painter turns points into dots with the printer's resolution, so the letters
        // have the same size on paper on every printer.
        QFont font(face);
        font.setPointSize(pointSize);
        m_painter.setFont(font);
        m_face = face;
        m_pointSize = pointSize;
        m_metrics.emplace(m_painter.fontMetrics());
    }
}

int PrinterJob::textWidth(const QString &text)
{
    return m_metrics ? m_metrics->horizontalAdvance(text) : 0;
}

int PrinterJob::textHeight(const QString &)
{
    // The height of a line of the font, whatever the characters.
    return m_metrics ? m_metrics->height() : 0;
}

void PrinterJob::textOut(int x, int y, const QString &text)
{
    m_painter.drawText(QPoint(x, y + (m_metrics ? m_metrics->ascent() : 0)), text);
}

void PrinterJob::moveTo(int x, int y)
{
    m_pen = { x, y };
}

void PrinterJob::lineTo(int x, int y)
{
    const QPoint to(x, y);
    m_painter.drawLine(m_pen, to);
    m_pen = to;
}

namespace {

// With no printer queue, the dialog offers a PDF file; its name starts as the bare home
// folder, which cannot be written, so give it one a teacher can keep.
void presetPdfFile(QPrinter &printer)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        return;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QDir(folder).filePath(u"問題プリント.pdf"_s));
}

class QtWorksheetPrinter final : public WorksheetPrinter
{
public:
    QtWorksheetPrinter() : m_printer(QPrinter::HighResolution) { presetPdfFile(m_printer); }

    bool choose(QWidget *parent, int pageCount) override
    {
        // A range belongs to one print: the next is of a new set, maybe of another length.
        m_printer.setPrintRange(QPrinter::AllPages);
        m_printer.setFromTo(0, 0);
        QPrintDialog dialog(&m_printer, parent);
        // No selection and no current page: the sheets have neither. The range, the copies
        // and their order are the program's to honour (pagesToPrint); the odd or even pages
        // and a list of pages are offered only where the print server does them.
        dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange
                          | QAbstractPrintDialog::PrintShowPageSize
                          | QAbstractPrintDialog::PrintCollateCopies);
        dialog.setMinMax(1, std::max(pageCount, 1));
        if (dialog.exec() != QDialog::Accepted)
            return false;
        PrinterJob::useWorksheetResolution(m_printer);
        return true;
    }

    PrintableArea printableArea() override { return PrinterJob::printableArea(m_printer); }

    PageChoice pageChoice() override { return PrinterJob::pageChoice(m_printer); }

    std::unique_ptr<WorksheetJob> makeJob() override
    {
        return std::make_unique<PrinterJob>(m_printer);
    }

private:
    QPrinter m_printer;
};

} // namespace

std::unique_ptr<WorksheetPrinter> makeQtWorksheetPrinter()
{
    return std::make_unique<QtWorksheetPrinter>();
}
