#include "codelists/screens/PrinterParams.h"

namespace marel::screens {

// Not built yet: an empty window.
BROWSEPARAM::BROWSEPARAM(QWidget* parent) : ListWindow({"Podešavanje ispisa na printeru", 200, 100, {}}, parent) {}

}  // namespace marel::screens
