#include "PrintLayout.h"

#include <algorithm>

int LinesPerPage(int pageHeight, int pixelsPerInch, int lineHeight)
{
    if (lineHeight <= 0)
        return 1;
    return std::max(1, (pageHeight - 2 * pixelsPerInch) / lineHeight);
}

int PageCount(int lines, int linesPerPage)
{
    return std::max(1, (lines + linesPerPage - 1) / std::max(1, linesPerPage));
}

std::vector<PrintedPage> LayoutPages(const std::vector<std::string>& lines, int firstLineNumber, int linesPerPage,
                                     int fromPage, int toPage, bool withLineNumbers)
{
    linesPerPage = std::max(1, linesPerPage);
    const int pages = PageCount(static_cast<int>(lines.size()), linesPerPage);
    const int last = std::clamp(toPage, 1, pages);
    const int first = std::clamp(fromPage, 1, last);
    std::vector<PrintedPage> result;
    for (int page = first; page <= last; ++page) {
        PrintedPage printed;
        const size_t begin = static_cast<size_t>(page - 1) * static_cast<size_t>(linesPerPage);
        const size_t end = std::min(lines.size(), begin + static_cast<size_t>(linesPerPage));
        for (size_t i = begin; i < end; ++i) {
            std::string number;
            if (withLineNumbers)
                number = std::to_string(firstLineNumber + static_cast<int>(i)) + ":  ";
            printed.push_back({std::move(number), lines[i]});
        }
        result.push_back(std::move(printed));
    }
    return result;
}
