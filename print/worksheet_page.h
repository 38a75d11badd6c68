// The printed worksheet: pages of ten problems drawn onto a small canvas, problem sheets first,
// then answer sheets. All layout arithmetic is in 32-bit integers on the printer's dots.
#pragma once

#include "drill/problem_set.h"
#include "drill/result.h"

#include <QString>

#include <vector>

// What a page needs of a printer's canvas; positions are device dots from the top-left of
// the printable area.
class WorksheetCanvas
{
public:
    virtual ~WorksheetCanvas() = default;
    virtual void setFont(const QString &face, int pointSize) = 0;
    virtual int textWidth(const QString &text) = 0;
    virtual int textHeight(const QString &text) = 0;
    // The top-left corner of the text's cell at (x, y).
    virtual void textOut(int x, int y, const QString &text) = 0;
    virtual void moveTo(int x, int y) = 0;
    virtual void lineTo(int x, int y) = 0;
};

// One print job holding every page of a click, so the sheets stay together in the spooler
// and a PDF file keeps them all.
class WorksheetJob : public WorksheetCanvas
{
public:
    // Each fails with the reason, in words a teacher can act on.
    virtual Result<void> beginJob() = 0;
    virtual Result<void> newPage() = 0;
    virtual Result<void> endJob() = 0;
};

enum class Sheet { Problems, Answers };

struct PrintableArea
{
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// Draws one page of the sheet with the rows from firstRow on, at most ten and none past
// count; returns the row the next page starts with.
int drawWorksheetPage(WorksheetCanvas &canvas, Sheet sheet, const ProblemTableData &table,
                      int firstRow, int count, PrintableArea area);

// What the print dialog asked of the pages, numbered 1..n over the one job: the problem
// sheets first, then the answer sheets.
struct PageChoice
{
    int fromPage = 0; // 0: from the first page
    int toPage = 0; // 0: to the last page
    int copies = 1; // copies the program makes itself; a printer that makes them asks for 1
    bool collate = true; // whole sets one after the other, rather than each page n times
    bool lastPageFirst = false;
};

// The pages of a job of pageCount pages to draw, in the order they are drawn.
std::vector<int> pagesToPrint(int pageCount, const PageChoice &choice);

// The pages of the problem sheets and the answer sheets of rows 1..count.
int worksheetPageCount(int count);

// The problem sheets, then the answer sheets, of rows 1..count, in one job, as far as the choice
// takes them; no job at all when no page is left to print. The pages drawn, or why the job
// stopped.
Result<int> printWorksheets(WorksheetJob &job, const ProblemTableData &table, int count,
                            PrintableArea area, const PageChoice &choice = {});

// A value as the sheets print it: the shortest plain decimal, at most 15 significant digits.
QString generalNumberText(double value);
