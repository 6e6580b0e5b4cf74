#pragma once
// The annual certificate a payer hands each recipient: every income line paid
// to him in a calendar year with its receipt, expenses, contributions,
// income, tax and net, a subtotal per income type and the grand total. The
// years with crisis tax (2009 and 2010) have a variant of their own with the
// crisis tax and the net after it.
//
// The reports read the records as values: the record buffers the screens
// work in stay as they were.
#include <memory>
#include <string>
#include <vector>

#include "report/Report.h"
#include "store/Layout.h"
#include "common/Date.h"

namespace marel {

// True for a year written as four digits.
bool validYear(const std::string& year);
// The year the certificate window proposes on `today`: this year once July is
// over, else the year before.
std::string proposedYear(Date today);
// The years of the crisis tax, which get the certificate with its columns.
bool crisisYear(const std::string& year);

// One recipient's certificate of what `payer` paid him in `year`: nullptr when
// nothing was paid (no output and no message), when the user cancelled, or
// when the income lines could not be read (after the standard warning).
// `crisis` chooses the variant with the crisis-tax columns.
std::unique_ptr<Report> certificateReport(LONG recipient, LONG payer, const std::string& year, bool crisis,
                                          const ProgressFn& progress = {});
// ISPISPOTVRDE and ISPISPOTVRDESKRIPOREZ.
inline std::unique_ptr<Report> ISPISPOTVRDE(LONG recipient, LONG payer, const std::string& year,
                                            const ProgressFn& progress = {}) {
    return certificateReport(recipient, payer, year, false, progress);
}
inline std::unique_ptr<Report> ISPISPOTVRDESKRIPOREZ(LONG recipient, LONG payer, const std::string& year,
                                                     const ProgressFn& progress = {}) {
    return certificateReport(recipient, payer, year, true, progress);
}

// The recipients `payer` paid in `year`, in surname order.
std::vector<LONG> recipientsPaid(LONG payer, const std::string& year);
// One certificate for each of them, each on pages of its own, into one report
// (the crisis-tax variant for its years). nullptr when nobody was paid or the
// user cancelled.
std::unique_ptr<Report> allCertificatesReport(LONG payer, const std::string& year, const ProgressFn& progress = {});

// Registers ISPISPOTVRDE, ISPISPOTVRDESKRIPOREZ and ISPISKRIPOREZ with the
// command line's exports.
void registerCertificateExports();

}  // namespace marel
