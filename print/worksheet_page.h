// The printed worksheet: pages of ten problems drawn onto a small canvas, problem sheets first,
// then answer sheets. All layout arithmetic is in 32-bit integers on the printer's dots.
#pragma once

#include "drill/problem_set.h"

#include <QString>

#include <optional>
#include <vector>

// What a page needs of a printer's canvas; positions are device dots from the top-left of
// the printable area.
class WorksheetCanvas
{
public:
    virtual ~WorksheetCanvas() = default;
    virtual void SetFont(const QString &face, int pointSize) = 0;
    virtual int TextWidth(const QString &text) = 0;
    virtual int TextHeight(const QString &text) = 0;
    // The top-left corner of the text's cell at (x, y).
    virtual void TextOut(int x, int y, const QString &text) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
};

// One print job holding every page of a click, so the sheets stay together in the spooler
// and a PDF file keeps them all.
class WorksheetJob : public WorksheetCanvas
{
public:
    // Each returns false on failure, with the reason in errorText().
    virtual bool BeginJob() = 0;
    virtual bool NewPage() = 0;
    virtual bool EndJob() = 0;
    virtual QString errorText() const = 0;
};

enum class Sheet { Problems, Answers };

struct PrintableArea
{
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// Draws one page of the sheet with the rows from firstRow on, at most ten and none past
// count; returns the row the next page starts with.
int DrawWorksheetPage(WorksheetCanvas &canvas, Sheet sheet, const ProblemTableData &table,
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
std::vector<int> PagesToPrint(int pageCount, const PageChoice &choice);

struct PrintOutcome
{
    int pages = 0;
    std::optional<QString> error;
};

// The pages of the problem sheets and the answer sheets of rows 1..count.
int WorksheetPageCount(int count);

// The problem sheets, then the answer sheets, of rows 1..count, in one job, as far as the choice
// takes them; no job at all when no page is left to print.
PrintOutcome PrintWorksheets(WorksheetJob &job, const ProblemTableData &table, int count,
                             PrintableArea area, const PageChoice &choice = {});

// A value as the sheets print it: the shortest plain decimal, at most 15 significant digits.
QString GeneralNumberText(double value);
