// The worksheet job on a real printer (a CUPS queue or a PDF file), through QPainter.
#pragma once

#include "print/worksheet_page.h"
#include "devices/worksheet_printer.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPoint>

#include <memory>
#include <optional>

class QPrinter;

class PrinterJob final : public WorksheetJob
{
public:
    explicit PrinterJob(QPrinter &printer);
    ~PrinterJob() override;

    Result<void> beginJob() override;
    Result<void> newPage() override;
    Result<void> endJob() override;

    void setFont(const QString &face, int pointSize) override;
    int textWidth(const QString &text) override;
    int textHeight(const QString &text) override;
    void textOut(int x, int y, const QString &text) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;

    // The printable area in the printer's dots, at the resolution it prints with.
    static PrintableArea printableArea(const QPrinter &printer);
    // The pages and copies the printer's settings ask of the program.
    static PageChoice pageChoice(const QPrinter &printer);
    // PDF files print at 600 dpi, so the fixed dot margins have a common printer's size.
    static void useWorksheetResolution(QPrinter &printer);

private:
    // The printer's own state, which QPrinter keeps apart from what its calls return.
    Result<void> printerState(const char *failure) const;

    QPrinter &m_printer;
    QPainter m_painter;
    // The font and its metrics, looked up once per face and size rather than per text.
    QString m_face;
    int m_pointSize = 0;
    std::optional<QFontMetrics> m_metrics;
    QPoint m_pen;
};

// The program's printer: a QPrinter at high resolution, offered in QPrintDialog.
std::unique_ptr<WorksheetPrinter> makeQtWorksheetPrinter();
