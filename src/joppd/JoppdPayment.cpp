#include "joppd/JoppdPayment.h"

#include "store/Gathered.h"

namespace marel {

namespace {

// Index of each line by its number, to hand the gathered records to their lines.
std::unordered_map<LONG, size_t> byNumber(const std::vector<JoppdLine>& lines) {
    std::unordered_map<LONG, size_t> at;
    at.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) at.emplace(lines[i].line.OZNAKA, i);
    return at;
}

}  // namespace

JoppdPayment::JoppdPayment(LONG payment) {
    linesError = gatherAll(&DohociFile::KEYISPLATA, startingWith(&DohociFile::KEYISPLATA, payment),
                           [&](const DOHOCI_REC& d) { lines.push_back({d, {}, std::nullopt}); });
    const auto index = byNumber(lines);
    // What the payment's lines name, each file in one query.
    auto ofTheLines = [&](auto key, auto field) { return namedBy(key, &DohociFile::KEYISPLATA, payment, field); };

    std::unordered_map<LONG, PositionAmounts> amounts;
    positionsRead_ = paymentPositions(payment, amounts) == 0;
    for (JoppdLine& l : lines)
        if (auto it = amounts.find(l.line.OZNAKA); it != amounts.end()) l.at = it->second;
    // The method is item 1 of a line's extra values.
    methodsRead_ = gatherAll(&SvastaFile::KEYDOHBROJ, ofTheLines(&SvastaFile::KEYDOHBROJ, &DOHOCI_REC::OZNAKA),
                             [&](const SVASTA_REC& s) {
                                 const auto it = index.find(s.DOHODAK);
                                 if (it != index.end() && s.BROJ == 1 && !lines[it->second].method)
                                     lines[it->second].method = s.VRISHORT;
                             }) == 0;
    peopleRead_ = gatherAll(&OsobeFile::KEYOZNAKA, ofTheLines(&OsobeFile::KEYOZNAKA, &DOHOCI_REC::DJELATNIK),
                            [&](const OSOBE_REC& p) { people_.try_emplace(p.OZNAKA, p); }) == 0;
}

int JoppdPayment::positions(const JoppdLine& l, PositionAmounts& at) const {
    if (!positionsRead_) return readPositions(l.line.OZNAKA, at);
    at = l.at;
    return 0;
}

std::optional<SHORT> JoppdPayment::method(const JoppdLine& l) const {
    return methodsRead_ ? l.method : storedPaymentMethod(l.line.OZNAKA);
}

const OSOBE_REC* JoppdPayment::person(LONG number) {
    if (number == 0 || !peopleRead_) return peopleOneByOne_.find(number);  // 0 names nobody
    const auto it = people_.find(number);
    return it == people_.end() ? nullptr : &it->second;
}

}  // namespace marel
