#pragma once
// The program's pictures, drawn rather than shipped: the program icon, the
// tool-bar icons and the frame's background.
#include <QIcon>

class QPainter;
class QRect;

namespace marel::artwork {

QIcon program();
QIcon payers();        // isplatitelji: an office building
QIcon recipients();    // primatelji: two people
QIcon payments();      // isplate: a banknote and coins
QIcon certificates();  // potvrde: a certificate with a seal
QIcon joppd();         // JOPPD obrasci: a form with an XML tag

// Every size of every picture above drawn, back to back, as 32-bit
// premultiplied pixels: what the build keeps in the program.
QByteArray drawAll();

// The calm background behind the windows of the frame.
void paintBackground(QPainter& p, const QRect& area);

}  // namespace marel::artwork
