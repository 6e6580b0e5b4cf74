#include "payments/screens/RecipientChoice.h"

namespace marel::screens {

// Not built yet: an empty window.
ODABIROSOBEZADOH::ODABIROSOBEZADOH(QWidget* parent) : ListWindow({"Pregled primatelja", 200, 100, {}}, parent) {}

}  // namespace marel::screens
