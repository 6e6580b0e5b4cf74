#pragma once
// What a list asks of the form it calls, and what the form answers. The
// request goes in as an argument and the answer comes back as the return
// value, so a form called from inside another form cannot overwrite the
// answer its caller is still waiting for.
#include "store/Layout.h"

namespace marel {

enum Request : LONG { INSERTRECORD = 1, CHANGERECORD = 2, DELETERECORD = 3, SELECTRECORD = 4 };
enum Response : LONG { REQUESTCOMPLETED = 1, REQUESTCANCELLED = 2 };

}  // namespace marel
