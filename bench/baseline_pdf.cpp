// The least a Qt program writing a report does: one PDF page with a line of
// text from QPdfWriter, no display. bench_startup sets it beside the
// program's one-page export. Usage: baseline_pdf FILE
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) return 2;
    QPdfWriter writer(QString::fromLocal8Bit(argv[1]));
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter;
    if (!painter.begin(&writer)) return 1;
    painter.setFont(QFont(QStringLiteral("Liberation Sans"), 10));
    painter.drawText(QPointF(600, 600), QStringLiteral("Općine: isplate po općinama"));
    return painter.end() ? 0 : 1;
}
