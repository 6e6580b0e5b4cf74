#include "report/PageFiles.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "common/Text.h"
#include "report/Wmf.h"

namespace marel {

void patchPageNumber(Page& p, int page, int count) {
    std::string number = "Page " + std::to_string(page) + " of " + std::to_string(count);
    number.resize(std::min(number.size(), PAGE_PLACEHOLDER.size()));
    size_t left = (PAGE_PLACEHOLDER.size() - number.size()) / 2;
    std::string centred = std::string(left, ' ') + number;
    centred.resize(PAGE_PLACEHOLDER.size(), ' ');
    // The whole page is searched at once: a placeholder may lie anywhere,
    // also across any boundary a piecewise search would have.
    const std::string_view drawn = p.wmf();
    size_t at = drawn.find(PAGE_PLACEHOLDER);
    if (at == std::string_view::npos) return;  // the page stays shared with its copies
    std::string bytes(drawn);
    for (; at != std::string::npos; at = bytes.find(PAGE_PLACEHOLDER, at + centred.size()))
        bytes.replace(at, centred.size(), centred);
    p = Page(std::move(bytes));
}

void CHECKFORPAGENUM(std::vector<Page>& pages) {
    int count = int(pages.size());
    for (int i = 0; i < count; ++i) patchPageNumber(pages[size_t(i)], i + 1, count);
}

namespace {
// Nearest grid position of a page coordinate: integer part of
// cells / extent * v + 0.5, never before the first cell.
int gridCell(int v, int cells, int extent) {
    int cell = int((2L * cells * std::max(v, 0) + extent) / (2L * extent));
    return std::clamp(cell, 1, cells);
}
}  // namespace

std::vector<std::string> pageText(const Page& p) {
    constexpr int LINES = 150, COLUMNS = 200;
    auto page = p.metafile();
    if (!page || page->width() <= 0 || page->height() <= 0) return {};
    std::vector<std::string> grid(LINES);
    for (const auto& r : page->records) {
        auto t = wmf::textOf(r);
        if (!t) continue;
        std::string& line = grid[size_t(gridCell(t->y, LINES, page->height()) - 1)];
        size_t column = size_t(gridCell(t->x, COLUMNS, page->width()) - 1);
        if (line.size() < column + t->text.size()) line.resize(column + t->text.size(), ' ');
        line.replace(column, t->text.size(), t->text);
    }
    std::vector<std::string> out;
    for (const auto& line : grid)
        if (!trim(line).empty()) out.push_back(rtrim(fromCp1250(line)));
    return out;
}

bool SAVEASTEXT(const std::string& target, const std::vector<Page>& pages) {
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    for (const auto& page : pages)
        for (const auto& line : pageText(page)) out << line << '\n';
    out.close();
    return bool(out);
}

std::string pageFileName(size_t number) {
    char name[48];
    std::snprintf(name, sizeof name, "stranica-%04zu.wmf", number);
    return name;
}

bool savePageFiles(const std::vector<Page>& pages, const std::string& folder) {
    for (size_t i = 0; i < pages.size(); ++i)
        if (!pages[i].save((std::filesystem::path(folder) / pageFileName(i + 1)).string())) return false;
    return true;
}

std::vector<int> LOADTEMPIMAGEQUEUE(const std::vector<bool>& marks, int option, int from, int to) {
    std::vector<int> out;
    for (int page = 1; page <= int(marks.size()); ++page) {
        bool marked = marks[size_t(page - 1)];
        bool keep = option == MARKEDPAGES     ? marked
                    : option == UNMARKEDPAGES ? !marked
                    : option == PAGERANGE     ? page >= from && page <= to
                                              : true;
        if (keep) out.push_back(page);
    }
    return out;
}

std::vector<int> SETUPCOPIESCOLLATE(const std::vector<int>& pages, int copies, bool collate) {
    std::vector<int> out;
    if (collate) {
        for (int c = 0; c < copies; ++c) out.insert(out.end(), pages.begin(), pages.end());
    } else {
        for (int p : pages) out.insert(out.end(), size_t(std::max(copies, 0)), p);
    }
    return out;
}

}  // namespace marel
