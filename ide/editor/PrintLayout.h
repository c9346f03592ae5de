#pragma once
// Page layout of a printed source: which lines go on which page, numbered
// from a given first line. Plain arithmetic, so it is testable without a printer.

#include <string>
#include <vector>

// Lines that fit between one-inch top and bottom margins; at least one.
int LinesPerPage(int pageHeight, int pixelsPerInch, int lineHeight);
// Pages for the lines; at least one.
int PageCount(int lines, int linesPerPage);

struct PrintedLine {
    std::string number;  // "12:  " with line numbers, else empty
    std::string text;
};
using PrintedPage = std::vector<PrintedLine>;

// Pages fromPage..toPage (1-based, clamped to the pages there are; at least one page).
std::vector<PrintedPage> LayoutPages(const std::vector<std::string>& lines, int firstLineNumber, int linesPerPage,
                                     int fromPage, int toPage, bool withLineNumbers);
