// The printer the worksheets go to, and its set-up: what the print click needs of it. The
// program's own (makeQtWorksheetPrinter) is on QPrinter and QPrintDialog.
#pragma once

#include "print/worksheet_page.h"

#include <memory>

class QWidget;

// Kept from one print to the next, so the printer, paper and orientation chosen stay chosen.
class WorksheetPrinter
{
public:
    virtual ~WorksheetPrinter() = default;
    // The print dialog for a job of pageCount pages, over the parent; false when it is
    // cancelled.
    virtual bool choose(QWidget *parent, int pageCount) = 0;
    // The pages and copies the dialog asked for that the program itself must make.
    virtual PageChoice pageChoice() = 0;
    // The printable area at the resolution the sheets print with.
    virtual PrintableArea printableArea() = 0;
    // The job that receives the pages.
    virtual std::unique_ptr<WorksheetJob> makeJob() = 0;
};
