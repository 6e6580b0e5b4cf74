#include "codelists/screens/IncomeTypes.h"

namespace marel::screens {

// Not built yet: an empty window.
VRSTEDOHOTKA::VRSTEDOHOTKA(QWidget* parent) : ListWindow({"Pregled vrsta dohotka", 200, 100, {}}, parent) {}

}  // namespace marel::screens
