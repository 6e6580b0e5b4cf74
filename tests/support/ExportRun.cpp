#include "support/ExportRun.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>
#include <filesystem>

#include "report/PageFiles.h"

namespace marel::test {

ExportRun runExport(const std::vector<std::string>& args, const std::string& workingFolder,
                    const std::function<void()>& meanwhile, int limitMs) {
    QProcess p;
    QStringList list{QStringLiteral("export")};
    for (const std::string& a : args) list << QString::fromStdString(a);
    if (!workingFolder.empty()) p.setWorkingDirectory(QString::fromStdString(workingFolder));
    // As from a shell without a display.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(MAREL_BINARY), list);
    ExportRun r;
    QDeadlineTimer limit(limitMs);
    bool finished = false;
    while (meanwhile && !finished && !limit.hasExpired()) {
        // Once finished, waiting again says false: the state tells.
        finished = p.waitForFinished(1) || p.state() == QProcess::NotRunning;
        if (!finished) meanwhile();
    }
    if (!finished && !p.waitForFinished(int(std::max<qint64>(limit.remainingTime(), 0)))) {
        p.kill();
        p.waitForFinished();
        r.err = "did not finish";
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

std::vector<std::string> exportedText(const std::string& pagesFolder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(pagesFolder, ec)) files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    std::vector<std::string> lines;
    for (const std::string& f : files)
        for (std::string& l : pageText(Page::load(f).value_or(Page()))) lines.push_back(std::move(l));
    return lines;
}

std::string exportedTextJoined(const std::string& pagesFolder) {
    std::string s;
    for (const std::string& l : exportedText(pagesFolder)) s += l + "\n";
    return s;
}

}  // namespace marel::test
