#pragma once
// What the previews and the export do with the pages of a report: the
// page-number patch, the text export, the page files and the choice of
// pages to print or save.
#include <string>
#include <string_view>
#include <vector>

#include "report/Page.h"

namespace marel {

// A page that shows "Page 3 of 7" prints this placeholder, which the preview
// replaces once the number of pages is known.
inline constexpr std::string_view PAGE_PLACEHOLDER = "Page xxxxx of xxxxx";

// Writes "Page <page> of <count>", centred in the placeholder's width, over
// every placeholder of the page.
void patchPageNumber(Page& p, int page, int count);
// Patches page i of N for every page of the queue.
void CHECKFORPAGENUM(std::vector<Page>& pages);

// The text lines of a page: every text of the page written into a grid of 150
// lines by 200 columns scaled to the page, blank lines dropped, trailing
// blanks cut, UTF-8. Empty for a page that is not a metafile.
std::vector<std::string> pageText(const Page& page);
// Writes the text of the pages, one after the other, into a new UTF-8 text
// file. False when the file cannot be written.
bool SAVEASTEXT(const std::string& target, const std::vector<Page>& pages);

// The name of page `number` (1-based) in a folder of page files: "stranica-0007.wmf".
std::string pageFileName(size_t number);
// Writes every page into `folder`, which exists, as the files pageFileName
// names. False when a page cannot be written.
bool savePageFiles(const std::vector<Page>& pages, const std::string& folder);

// Which pages to print or save.
enum PrintOption { ALLPAGES = 1, MARKEDPAGES = 2, UNMARKEDPAGES = 3, PAGERANGE = 4 };
// Page numbers (1-based) chosen by the option from the marks of all pages.
std::vector<int> LOADTEMPIMAGEQUEUE(const std::vector<bool>& marks, int option, int from, int to);
// Collated: the whole sequence `copies` times; otherwise each page `copies`
// times in place.
std::vector<int> SETUPCOPIESCOLLATE(const std::vector<int>& pages, int copies, bool collate);

}  // namespace marel
