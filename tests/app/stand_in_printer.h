// A printer a test puts in the window's place: its dialog answered without being shown, and the
// pages recorded, or printed into a PDF file through the program's own QPainter job.
#pragma once

#include "../print/recording_canvas.h"
#include "devices/printer_job.h"
#include "devices/worksheet_printer.h"

#include <QPrinter>

#include <functional>
#include <optional>
#include <utility>

class StandInPrinter : public WorksheetPrinter
{
public:
    bool acceptDialog = true;
    int dialogs = 0;
    std::optional<std::pair<int, int>> range; // pages from, to, as the dialog sets them
    QString pdfFile; // when set, the pages are printed into this file instead of recorded
    RecordingJob recorded; // every recorded job's pages, one print after another
    // Run as the dialog would show and as the job is made, to see the window at those moments.
    std::function<void()> atDialog, atJob;

    StandInPrinter()
    {
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        PrinterJob::useWorksheetResolution(m_printer);
    }

    bool choose(QWidget *, int) override
    {
        ++dialogs;
        m_printer.setPrintRange(range ? QPrinter::PageRange : QPrinter::AllPages);
        m_printer.setFromTo(range ? range->first : 0, range ? range->second : 0);
        if (atDialog)
            atDialog();
        return acceptDialog;
    }
    PageChoice pageChoice() override { return PrinterJob::pageChoice(m_printer); }
    PrintableArea printableArea() override { return PrinterJob::printableArea(m_printer); }
    std::unique_ptr<WorksheetJob> makeJob() override
    {
        if (atJob)
            atJob();
        if (!pdfFile.isEmpty()) {
            m_printer.setOutputFileName(pdfFile);
            return std::make_unique<PrinterJob>(m_printer);
        }
        return std::make_unique<HandedBack>(recorded);
    }

private:
    // The window ends the job it is given; this one hands what it recorded back as it ends.
    struct HandedBack : RecordingJob
    {
        RecordingJob &keeper;
        explicit HandedBack(RecordingJob &k) : RecordingJob(k), keeper(k) {}
        ~HandedBack() override { keeper = *this; }
    };

    QPrinter m_printer { QPrinter::HighResolution };
};
