// Stand-ins that a test gives the print click instead of the real print dialog and printer.
#pragma once

#include <memory>

class QPrinter;
class WorksheetJob;

class WorksheetPrintHooks
{
public:
    virtual ~WorksheetPrintHooks() = default;
    // Shows the print dialog for the printer; false when the teacher cancels it.
    virtual bool runPrintDialog(QPrinter &printer) = 0;
    // The job that receives the pages.
    virtual std::unique_ptr<WorksheetJob> makeJob(QPrinter &printer) = 0;
};
