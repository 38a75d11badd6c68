#include "print/worksheet_page.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr std::int32_t LeftMargin = 200;
constexpr int LinesPerPage = 10;
// The printed columns: base amount, its ratio, compared amount, its ratio.
constexpr int PrintedFields[4] = { 1, 2, 4, 5 };

void answerBox(WorksheetCanvas &canvas, std::int32_t x, std::int32_t y, std::int32_t boxWidth,
               std::int32_t lineHeight, std::int32_t halfLine)
{
    canvas.moveTo(x, y - halfLine);
    canvas.lineTo(x + boxWidth, y - halfLine);
    canvas.lineTo(x + boxWidth, y + lineHeight + halfLine);
    canvas.lineTo(x, y + lineHeight + halfLine);
    canvas.lineTo(x, y - halfLine);
}

} // namespace

QString generalNumberText(double value)
{
    return QString::number(value, 'g', 15);
}

int drawWorksheetPage(WorksheetCanvas &canvas, Sheet sheet, const ProblemTableData &table,
                      int firstRow, int count, PrintableArea area)
{
    canvas.setFont(u"ＭＳゴシック"_s, 14);
    // Measured on every page, in the font the printer really uses.
    const std::int32_t columnPitch = canvas.textWidth(u"比べられる量○"_s);
    const std::int32_t boxWidth = canvas.textWidth(u"比べられる"_s);
    const std::int32_t lineHeight = canvas.textHeight(u"５"_s);
    const std::int32_t halfLine = lineHeight / 2;
    const std::int32_t rowPitch = (area.height - 200) / 12;
    const std::int32_t topMargin = rowPitch / 2;
    const std::int32_t right = area.width - LeftMargin;

    canvas.moveTo(LeftMargin, topMargin);
    canvas.lineTo(right, topMargin);
    canvas.lineTo(right, topMargin + rowPitch / 2);
    canvas.lineTo(LeftMargin, topMargin + rowPitch / 2);
    canvas.lineTo(LeftMargin, topMargin);
    canvas.textOut(area.width / 2, topMargin + 20, u"なまえ"_s);
    canvas.textOut(LeftMargin, topMargin + rowPitch,
                   u"もとになる量　　その割合　　　　くらべられる量　その割合"_s);

    int row = firstRow;
    for (int line = 1; line <= LinesPerPage; ++line) {
        if (row > count || row > ProblemCount)
            continue;
        const std::int32_t y = rowPitch * (line + 1);
        for (int column = 0; column < 4; ++column) {
            const std::int32_t x = LeftMargin + column * columnPitch;
            const double v = table[row].field(PrintedFields[column]);
            if (v >= 0) {
                canvas.textOut(x, y, generalNumberText(v));
                continue;
            }
            if (sheet == Sheet::Answers)
                canvas.textOut(x, y, generalNumberText(-v));
            answerBox(canvas, x, y, boxWidth, lineHeight, halfLine);
        }
        ++row;
    }
    return row;
}

int worksheetPageCount(int count)
{
    count = std::min(count, ProblemCount);
    return count > 0 ? 2 * ((count + LinesPerPage - 1) / LinesPerPage) : 0;
}

std::vector<int> pagesToPrint(int pageCount, const PageChoice &choice)
{
    const int first = std::max(choice.fromPage, 1);
    const int last = choice.toPage > 0 ? std::min(choice.toPage, pageCount) : pageCount;
    std::vector<int> range;
    for (int page = first; page <= last; ++page)
        range.push_back(page);
    if (choice.lastPageFirst)
        std::reverse(range.begin(), range.end());
    const int copies = std::max(choice.copies, 1);
    std::vector<int> pages;
    if (choice.collate) {
        for (int copy = 0; copy < copies; ++copy)
            pages.insert(pages.end(), range.begin(), range.end());
    } else {
        for (int page : range)
            pages.insert(pages.end(), std::size_t(copies), page);
    }
    return pages;
}

Result<int> printWorksheets(WorksheetJob &job, const ProblemTableData &table, int count,
                            PrintableArea area, const PageChoice &choice)
{
    count = std::min(count, ProblemCount);
    const int pagesPerSheet = worksheetPageCount(count) / 2;
    const std::vector<int> pages = pagesToPrint(2 * pagesPerSheet, choice);
    if (pages.empty())
        return 0;
    if (const auto begun = job.beginJob(); !begun)
        return Failure(begun.errorString());
    int drawn = 0;
    for (const int page : pages) {
        if (drawn > 0) {
            if (const auto next = job.newPage(); !next) {
                // The page's reason is the one to tell; ending only lets the printer go.
                (void)job.endJob();
                return Failure(next.errorString());
            }
        }
        // Each sheet numbers its rows from 1 again: answer page 1 holds the rows of problem page 1.
        const Sheet sheet = page <= pagesPerSheet ? Sheet::Problems : Sheet::Answers;
        const int firstRow = ((page - 1) % pagesPerSheet) * LinesPerPage + 1;
        drawWorksheetPage(job, sheet, table, firstRow, count, area);
        ++drawn;
    }
    if (const auto ended = job.endJob(); !ended)
        return Failure(ended.errorString());
    return drawn;
}
