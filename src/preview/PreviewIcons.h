#pragma once
// Tool-bar pictures of the previews, drawn rather than shipped.
#include <QIcon>

namespace marel::previewIcons {

enum class Kind { Print, PrintPage, Leave, Jump, First, Previous, Next, Last, Thumbnails, SavePage, SaveAll, Pdf, Delete, Mark, Zoom };
QIcon icon(Kind kind);

}  // namespace marel::previewIcons
