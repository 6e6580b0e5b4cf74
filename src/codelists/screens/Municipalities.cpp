#include "codelists/screens/Municipalities.h"

namespace marel::screens {

// Not built yet: an empty window.
MJESTA::MJESTA(QWidget* parent) : ListWindow({"Pregled mjesta", 200, 100, {}}, parent) {}

// Not built yet: an empty window.
ODABIROPCINE::ODABIROPCINE(QWidget* parent) : ListWindow({"Pregled općina", 200, 100, {}}, parent) {}

}  // namespace marel::screens
