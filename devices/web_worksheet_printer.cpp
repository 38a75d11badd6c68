// The worksheets in the browser, which offers a program no printer: the same sheets drawn
// into a PDF, handed to the browser as a download that its own print dialog prints.
#include "devices/printer_job.h"
#include "devices/worksheet_printer.h"

#include <QBuffer>
#include <QPageSize>
#include <QPdfWriter>

#include <emscripten/val.h>

using namespace Qt::StringLiterals;

namespace {

// PDF files print at 600 dpi on the desktop too, so the fixed dot margins come out the same.
constexpr int Resolution = 600;

class PdfJob final : public WorksheetJob
{
public:
    PdfJob() : m_writer(&m_bytes)
    {
        m_writer.setResolution(Resolution);
        m_writer.setPageSize(QPageSize(QPageSize::A4));
        m_writer.setCreator(u"Tovemi"_s);
    }

    Result<void> beginJob() override
    {
        if (!m_bytes.open(QIODevice::WriteOnly) || !m_painter.begin(&m_writer))
            return Failure(u"印刷を始められません。"_s);
        return {};
    }

    Result<void> newPage() override
    {
        if (!m_writer.newPage())
            return Failure(u"次のページを始められません。"_s);
        return {};
    }

    Result<void> endJob() override
    {
        if (m_painter.isActive() && !m_painter.end())
            return Failure(u"印刷を終えられません。"_s);
        const QByteArray &pdf = m_bytes.data();
        // The page copies the bytes before the call returns.
        emscripten::val::global("tovemiPage")
                .call<void>("offerPdf",
                            emscripten::val(emscripten::typed_memory_view(
                                    std::size_t(pdf.size()),
                                    reinterpret_cast<const unsigned char *>(pdf.constData()))));
        return {};
    }

    void setFont(const QString &face, int pointSize) override
    {
        if (face == m_face && pointSize == m_pointSize && m_metrics)
            return;
        QFont font(face);
        font.setPointSize(pointSize);
        m_painter.setFont(font);
        m_face = face;
        m_pointSize = pointSize;
        m_metrics.emplace(m_painter.fontMetrics());
    }

    int textWidth(const QString &text) override
    {
        return m_metrics ? m_metrics->horizontalAdvance(text) : 0;
    }

    int textHeight(const QString &) override { return m_metrics ? m_metrics->height() : 0; }

    void textOut(int x, int y, const QString &text) override
    {
        m_painter.drawText(QPoint(x, y + (m_metrics ? m_metrics->ascent() : 0)), text);
    }

    void moveTo(int x, int y) override { m_pen = { x, y }; }

    void lineTo(int x, int y) override
    {
        const QPoint to(x, y);
        m_painter.drawLine(m_pen, to);
        m_pen = to;
    }

private:
    QBuffer m_bytes;
    QPdfWriter m_writer;
    QPainter m_painter;
    QString m_face;
    int m_pointSize = 0;
    std::optional<QFontMetrics> m_metrics;
    QPoint m_pen;
};

class WebWorksheetPrinter final : public WorksheetPrinter
{
public:
    // The pages and copies are chosen later, in the browser's print dialog.
    bool choose(QWidget *, int) override { return true; }
    PageChoice pageChoice() override { return {}; }

    PrintableArea printableArea() override
    {
        // The margins are the PDF writer's own, as the desktop's PDF printer has them.
        QBuffer nowhere;
        QPdfWriter probe(&nowhere);
        probe.setResolution(Resolution);
        probe.setPageSize(QPageSize(QPageSize::A4));
        const QRect area = probe.pageLayout().paintRectPixels(Resolution);
        return { area.width(), area.height() };
    }

    std::unique_ptr<WorksheetJob> makeJob() override { return std::make_unique<PdfJob>(); }
};

} // namespace

std::unique_ptr<WorksheetPrinter> makeQtWorksheetPrinter()
{
    return std::make_unique<WebWorksheetPrinter>();
}
