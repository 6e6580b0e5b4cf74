#pragma once
// A payment as its JOPPD report reads it, read once and handed to both the
// check list and the row build: its income lines with their calculation and
// payment method, the recipients they name, and the places, municipalities
// and income types met, each read once.
#include <optional>
#include <unordered_map>
#include <vector>

#include "payments/IncomeLine.h"
#include "store/Values.h"

namespace marel {

struct JoppdLine {
    DOHOCI_REC line;
    PositionAmounts at{};
    std::optional<SHORT> method;  // as stored; none when none is
};

class JoppdPayment {
public:
    // Reads the income lines of `payment` with everything they name. A
    // failed read of the lines is kept in linesError; one of the calculation,
    // the methods or the recipients leaves them to be read line by line, so
    // that a failure is met (and told) at the line it concerns.
    explicit JoppdPayment(LONG payment);

    std::vector<JoppdLine> lines;  // in the order of the payment's key
    int linesError = 0;            // the lines' walk ended on a failed read

    // The calculation of line `l`: 0, or the store's code of its failed read.
    int positions(const JoppdLine& l, PositionAmounts& at) const;
    std::optional<SHORT> method(const JoppdLine& l) const;
    // The recipient numbered `number`; nullptr when none (or unreadable).
    const OSOBE_REC* person(LONG number);

    ValueLookup<MjestaFile> places;
    ValueLookup<OpcineFile> municipalities;
    ValueLookup<VrstedohFile> types;

private:
    bool positionsRead_ = false, methodsRead_ = false, peopleRead_ = false;
    std::unordered_map<LONG, OSOBE_REC> people_;
    ValueLookup<OsobeFile> peopleOneByOne_;
};

}  // namespace marel
