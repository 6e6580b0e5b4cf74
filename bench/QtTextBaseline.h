#pragma once
// What a PDF of our pages costs at the least: Qt's own PDF writer drawing
// the same texts, at the same places and in the same fonts, without clips,
// lines or metafiles in between. A paper benchmark measures itself against
// it as a ratio, which a busy machine changes far less than a time.
#include <benchmark/benchmark.h>

#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <filesystem>
#include <memory>
#include <ctime>
#include <string>
#include <vector>

#include "common/Text.h"
#include "preview/WmfPlayer.h"
#include "report/Report.h"
#include "report/Wmf.h"

namespace marel {

class QtTextBaseline {
public:
    // Reads the texts of the pages (not timed).
    explicit QtTextBaseline(const std::vector<marel::Page>& pages) {
        for (const marel::Page& drawn : pages) {
            auto page = drawn.metafile();
            if (!page) continue;
            Page& out = pages_.emplace_back();
            out.size = QSizeF(page->width(), page->height());
            inch_ = page->inch;
            std::vector<int> table;  // object table: font index, -1 another object, -2 free
            auto place = [&table](int what) {
                for (int& s : table)
                    if (s == -2) return void(s = what);
                table.push_back(what);
            };
            int font = -1;
            uint16_t align = 0;
            for (const wmf::Record& r : page->records) {
                if (auto f = wmf::fontOf(r)) {
                    QFont q(QStringLiteral("Liberation Sans"));
                    q.setPixelSize(std::max(1, std::abs(int(f->height))));
                    q.setWeight(f->weight >= 600 ? QFont::Bold : QFont::Normal);
                    q.setHintingPreference(QFont::PreferNoHinting);
                    fonts_.push_back(q);
                    place(int(fonts_.size()) - 1);
                } else if (r.function == wmf::META_CREATEPENINDIRECT || r.function == wmf::META_CREATEBRUSHINDIRECT) {
                    place(-1);
                } else if (r.function == wmf::META_DELETEOBJECT && size_t(r.word(0)) < table.size()) {
                    table[size_t(r.word(0))] = -2;
                } else if (r.function == wmf::META_SELECTOBJECT && size_t(r.word(0)) < table.size() &&
                           table[size_t(r.word(0))] >= 0) {
                    font = table[size_t(r.word(0))];
                } else if (r.function == wmf::META_SETTEXTALIGN) {
                    align = uint16_t(r.word(0));
                } else if (auto t = wmf::textOf(r); t && font >= 0) {
                    const QString s = QString::fromStdString(fromCp1250(t->text));
                    const QFontMetricsF fm(fonts_[size_t(font)]);
                    qreal x = t->x;
                    if ((align & wmf::TA_CENTER) == wmf::TA_CENTER) x -= fm.horizontalAdvance(s) / 2;
                    else if ((align & wmf::TA_CENTER) == wmf::TA_RIGHT) x -= fm.horizontalAdvance(s);
                    out.texts.push_back({font, QPointF(x, t->y + fm.ascent()), s});
                }
            }
        }
    }

    size_t texts() const {
        size_t n = 0;
        for (const Page& p : pages_) n += p.texts.size();
        return n;
    }

    // Writes the PDF; false when Qt could not.
    bool draw(const std::string& pdf) const {
        if (pages_.empty() || inch_ == 0) return false;
        QPdfWriter writer(QString::fromStdString(pdf));
        writer.setResolution(1200);
        const QSizeF mm = pages_.front().size * (25.4 / inch_);
        const bool landscape = mm.width() > mm.height();
        writer.setPageSize(QPageSize(landscape ? mm.transposed() : mm, QPageSize::Millimeter, QString(),
                                     QPageSize::FuzzyMatch));
        writer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter p;
        if (!p.begin(&writer)) return false;
        p.scale(1200.0 / inch_, 1200.0 / inch_);
        bool firstPage = true;
        for (const Page& page : pages_) {
            if (!firstPage && !writer.newPage()) return false;
            firstPage = false;
            int font = -1;
            for (const Text& t : page.texts) {
                if (t.font != font) p.setFont(fonts_[size_t(font = t.font)]);
                p.drawText(t.at, t.text);
            }
        }
        return p.end();
    }

private:
    struct Text {
        int font;
        QPointF at;
        QString text;
    };
    struct Page {
        QSizeF size;
        std::vector<Text> texts;
    };
    std::vector<QFont> fonts_;
    std::vector<Page> pages_;
    int inch_ = 0;
};

// Processor seconds of this thread: what the busy machine the benchmarks run
// on leaves of a measurement.
inline double threadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Each iteration builds the report, writes it as a PDF and has Qt draw the
// same texts into a PDF of its own; the counters give our time as a multiple
// of Qt's: "vs_qt" from the data to the file, "pdf_vs_qt" the file alone.
template <class Build>
void measureAgainstQt(benchmark::State& state, const std::filesystem::path& folder, Build build) {
    std::unique_ptr<Report> first = build();
    if (!first) return state.SkipWithError("no pages");
    const QtTextBaseline qt(first->pages());
    first.reset();
    const std::string ours = (folder / "ours.pdf").string(), theirs = (folder / "qt.pdf").string();
    double whole = 0, pdf = 0, base = 0;
    for (auto _ : state) {
        const double t0 = threadSeconds();
        std::unique_ptr<Report> report = build();
        const double t1 = threadSeconds();
        if (!report || !savePdf(ours, report->pages(), report->title())) return state.SkipWithError("no PDF");
        const double t2 = threadSeconds();
        if (!qt.draw(theirs)) return state.SkipWithError("no PDF from Qt");
        const double t3 = threadSeconds();
        whole += t2 - t0;
        pdf += t2 - t1;
        base += t3 - t2;
    }
    state.counters["texts"] = double(qt.texts());
    state.counters["vs_qt"] = whole / base;
    state.counters["pdf_vs_qt"] = pdf / base;
}

}  // namespace marel
