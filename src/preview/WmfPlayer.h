#pragma once
// Draws our report pages (placeable metafiles) onto any QPainter: the screen,
// a printer, a PDF file. Arial is drawn with Liberation Sans, which has the
// same metrics.
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <string>
#include <vector>

#include "report/Page.h"
#include "report/Wmf.h"

class QPainter;
class QPrinter;

namespace marel {

// Plays the page into `target` (painter coordinates), stretched to fill it.
void playMetafile(QPainter& painter, const wmf::Metafile& page, const QRectF& target);

// The page's size in pixels at `dpi` (its natural size on the screen at 96).
QSize naturalSize(const wmf::Metafile& page, double dpi = 96);
// The page rendered on white at the given size; a null image for a page
// that is not a metafile.
QImage renderPage(const Page& page, QSize size);

// Prints the pages in order onto the printer, one sheet each, the paper
// taken from the first page (also a custom size); copies come from the list.
// False when the printer cannot be started.
bool printPages(QPrinter& printer, const std::vector<Page>& pages, const std::string& title);
// The pages as one PDF file.
bool savePdf(const std::string& file, const std::vector<Page>& pages, const std::string& title);

}  // namespace marel
