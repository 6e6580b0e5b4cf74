#pragma once
// One finished page of a report: what was drawn on it, as the bytes of a
// placeable metafile, kept in memory. The previews, the printer and the PDF
// writer play these bytes; a page becomes a file only when one is asked for
// (the pages of `marel export` to a folder, a page saved from the preview),
// and then exactly these bytes are written.
//
// Copies share the bytes: a queue of pages to print, with copies, costs no
// more than the report. A page takes what its file would: 2 to 50 kilobytes
// (13 on average; the most for the sheets of payment slips), so a report of
// a thousand pages holds some 10 to 50 megabytes. Pages are parsed only
// while they are drawn, one at a time.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "report/Wmf.h"

namespace marel {

class Page {
public:
    Page() = default;
    explicit Page(std::string wmf);
    // A page file read back; nothing when it cannot be read.
    static std::optional<Page> load(const std::string& file);

    // The page as a metafile file holds it; empty for a page never drawn.
    std::string_view wmf() const { return wmf_ ? std::string_view(*wmf_) : std::string_view(); }
    // The records to play; nothing when the bytes are not a metafile.
    std::optional<wmf::Metafile> metafile() const { return wmf::Metafile::parse(wmf()); }
    // Writes the page as a metafile file. False when it cannot be written.
    bool save(const std::string& file) const { return wmf::writeFile(file, wmf()); }

private:
    std::shared_ptr<const std::string> wmf_;
};

}  // namespace marel
