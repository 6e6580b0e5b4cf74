#pragma once
// What both previews are made of, whatever their buttons and menus: the
// report they keep, the paging state, the page view and how clicks on it
// zoom, the zoom and page status, the keys (PageUp, PageDown, Esc), the two
// questions (a page to jump to, the thumbnail grid), the PDF file, and
// closing their window once.
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "preview/PreviewDialogs.h"
#include "report/PreviewState.h"
#include "report/Report.h"

class QLabel;
class QStatusBar;
class QWidget;

namespace marel {

class PageView;

class PreviewPages {
public:
    // Whether a report is worth a preview: one with pages.
    static bool showable(const std::unique_ptr<Report>& report) { return report && !report->pages().empty(); }

    // The pages of the report for `window`; the view comes with addView.
    PreviewPages(QWidget* window, std::unique_ptr<Report> report);
    ~PreviewPages();

    Report& report() const { return *report_; }
    const std::vector<Page>& pages() const { return report_->pages(); }
    PreviewState& state() { return state_; }
    const PreviewState& state() const { return state_; }
    PageView* view() const { return view_; }

    // The page view, a child of the window. A thumbnail clicked becomes the
    // current page and `zoom(true)` shows it large; the large page clicked
    // goes back to thumbnails with `zoom(false)`.
    PageView* addView(std::function<void(bool large)> zoom);
    // The "zoomStatus" and "pageStatus" labels, on `bar`.
    void addStatus(QStatusBar* bar);
    // The view at `factor` (0: thumbnails), the status saying `zoomName`.
    void display(double factor, const QString& zoomName);
    // PageUp, PageDown and Esc (leaves without printing, as it cancels a form).
    void addKeys(std::function<void()> previous, std::function<void()> next, std::function<void()> leave);

    // Asks for the page to jump to; nothing when cancelled.
    std::optional<int> askPage(const DialogTexts& texts) const;
    // Asks for the thumbnail grid and takes it; false when cancelled.
    bool askGrid(const QString& title, const QString& group, const QString& acrossText, const QString& downText,
                 const QString& accept);
    // Asks for a file and writes every page there as PDF under `title`.
    void saveAsPdf(const std::string& title) const;

    // Closes the window, or the program's sub-window holding it.
    void closeWindow();
    // True only the first time the window closes: when it gives its answer.
    bool closing();

private:
    QWidget* window_;
    std::unique_ptr<Report> report_;
    PreviewState state_;
    PageView* view_ = nullptr;
    QLabel* zoomStatus_ = nullptr;
    QLabel* pageStatus_ = nullptr;
    bool closed_ = false;
};

}  // namespace marel
