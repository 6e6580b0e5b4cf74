#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>

#include "frame/Artwork.h"

using namespace marel;

// The pixels the program starts with are what its drawing code draws now,
// every size of every picture in the order the build keeps them.
TEST(Artwork, KeptPicturesAreWhatTheDrawingCodeDraws) {
    QByteArray kept;
    for (QIcon (*icon)() : {artwork::program, artwork::payers, artwork::recipients, artwork::payments,
                            artwork::certificates, artwork::joppd})
        for (const QSize& size : icon().availableSizes()) {
            const QImage image = icon().pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < image.height(); ++y)
                kept.append(reinterpret_cast<const char*>(image.constScanLine(y)), image.width() * 4);
        }
    EXPECT_TRUE(kept == artwork::drawAll());
}
