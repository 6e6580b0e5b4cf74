#include "payments/screens/PaymentPrints.h"

#include <map>

namespace marel::screens {

namespace {
std::map<std::string, PaymentPrint>& prints() {
    static std::map<std::string, PaymentPrint> p;
    return p;
}
}  // namespace

void registerPaymentPrint(const std::string& id, PaymentPrint print) { prints()[id] = std::move(print); }

const PaymentPrint* paymentPrint(const std::string& id) {
    auto it = prints().find(id);
    return it == prints().end() || !it->second ? nullptr : &it->second;
}

}  // namespace marel::screens
