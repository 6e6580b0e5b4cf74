// The least a Qt program writing a report does: one PDF page with a line of
// text from QPdfWriter, no display. bench_startup sets it beside the
// program's one-page export. Usage: baseline_pdf FILE [--bold-heading]; with
// the option the page has a bold heading above the line, so that it embeds
// the two fonts the program's page embeds.
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) return 2;
    const bool heading = argc > 2 && QByteArray(argv[2]) == "--bold-heading";
    QPdfWriter writer(QString::fromLocal8Bit(argv[1]));
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter;
    if (!painter.begin(&writer)) return 1;
    if (heading) {
        QFont bold(QStringLiteral("Liberation Sans"), 12);
        bold.setBold(true);
        painter.setFont(bold);
        painter.drawText(QPointF(600, 300), QStringLiteral("Popis općina"));
    }
    painter.setFont(QFont(QStringLiteral("Liberation Sans"), 10));
    painter.drawText(QPointF(600, 600), QStringLiteral("Općine: isplate po općinama"));
    return painter.end() ? 0 : 1;
}
