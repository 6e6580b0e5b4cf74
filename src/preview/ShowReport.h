#pragma once
// How a screen shows a report: built while the progress window offers to
// cancel, then shown in one of the two previews. Nothing is shown when the
// build was cancelled or has no pages.
#include <functional>
#include <memory>
#include <string>

#include "report/Report.h"

class QWidget;

namespace marel {

using ReportBuild = std::function<std::unique_ptr<Report>(const ProgressFn&)>;

// The report built under the progress window (placed over `caller`).
std::unique_ptr<Report> buildWithProgress(const ReportBuild& build, QWidget* caller = nullptr);

// Built, then shown in the simple preview, which prints it on the chosen
// printer when the user asks to. False when there was nothing to show.
bool previewToPrint(const ReportBuild& build, QWidget* caller = nullptr);

// Built, then shown in the report previewer under `title` (the report's own
// when empty) at `zoom`. False when there was nothing to show.
bool viewReport(const ReportBuild& build, const std::string& title, const std::string& zoom = "Page Width",
                QWidget* caller = nullptr);

}  // namespace marel
