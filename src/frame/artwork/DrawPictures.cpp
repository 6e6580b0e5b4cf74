// Run by the build: draws the frame's pictures with the program's own
// drawing code and writes their pixels as a source file of the program, so
// that it shows them without drawing. Usage: draw_pictures FILE
#include <QFile>
#include <QGuiApplication>

#include "frame/Artwork.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QByteArray pixels = marel::artwork::drawAll();
    QByteArray text = "// Written by draw_pictures: the pixels of the frame's pictures.\n"
                      "namespace marel::artwork {\n"
                      "extern const unsigned char drawnPictures[];\n"
                      "alignas(16) const unsigned char drawnPictures[] = {\n";
    for (qsizetype i = 0; i < pixels.size(); ++i) {
        text += QByteArray::number(static_cast<unsigned char>(pixels[i]));
        text += (i % 32 == 31) ? ",\n" : ",";
    }
    text += "};\n}  // namespace marel::artwork\n";
    QFile out(QString::fromLocal8Bit(argv[1]));
    return out.open(QIODevice::WriteOnly) && out.write(text) == text.size() ? 0 : 1;
}
