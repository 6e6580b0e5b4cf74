#pragma once
// The payments window's buttons "HUB3" and "HUB3A": the slips of the
// highlighted payment, through the previews.

namespace marel {

void registerSlipPrints();

}  // namespace marel
