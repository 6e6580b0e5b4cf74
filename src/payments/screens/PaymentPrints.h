#pragma once
// The prints started from the payments window. They are built by the layers
// above the payments (the JOPPD form on paper, the statutory forms, the
// payment slips), which register each under the id of its button or menu
// entry; the window enables a button when its print is there and there is
// something to print, and hands it what is highlighted and chosen.
#include <QWidget>
#include <functional>
#include <string>

#include "store/Layout.h"

namespace marel::screens {

struct PaymentPrintContext {
    LONG payer = 0;       // highlighted payer, 0 for none
    LONG payment = 0;     // highlighted payment
    LONG incomeLine = 0;  // highlighted income line of that payment
    int month = 0;        // "za mjesec" / "godinu" of the window
    int year = 0;
    char printer = 'M';   // "Vrsta pisača": 'M' dot-matrix, 'L' laser
    USHORT printerParam = 0;  // the printer offsets chosen (PAR:OZNAKA)
    bool plainPaper = false;  // "Ispis na čisti papir": forms drawn whole, not pre-printed
    QWidget* window = nullptr;  // the payments window, caller of what opens
};
using PaymentPrint = std::function<void(const PaymentPrintContext&)>;

// Ids: buttons "obracun" (F11), "obracundoh" (F12), "jopa", "jopb", "hub3",
// "hub3a"; menu entries "rsma", "rsmb", "idd", "id1".
void registerPaymentPrint(const std::string& id, PaymentPrint print);
const PaymentPrint* paymentPrint(const std::string& id);

}  // namespace marel::screens
