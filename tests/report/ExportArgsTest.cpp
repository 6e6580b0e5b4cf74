#include "report/Export.h"

#include <gtest/gtest.h>

namespace marel {
namespace {

// Every report's arguments are checked by one runner from their declarations:
// each kind refuses what it cannot take with its own message, in the order
// declared, and an optional argument not given takes its value.
std::vector<ExportArg> declared() {
    ExportArg payment = numberArg("isplata", "broj isplate");
    payment.exists = [](long n) { return n == 1; };
    payment.what = "Isplata";
    return {payment, yearArg("godina", "godina"), monthArg("mjesec", "mjesec"), printerArg("pisač", 'L'),
            choiceArg("papir", "papir", {"obrazac", "čisti"}, "obrazac", "Papir ne valja."),
            numberArg("param", "param", false, "1")};
}

TEST(ExportArgs, EachKindRefusesItsOwnFaultsInTheOrderDeclared) {
    const std::map<std::string, std::string> good{{"isplata", "1"}, {"godina", " 2014 "}, {"mjesec", "3"}};
    const std::vector<std::pair<std::map<std::string, std::string>, std::string>> cases = {
        {{{"godina", "2014"}, {"mjesec", "3"}}, "Nedostaje argument isplata= (broj isplate)"},
        {{{"isplata", "x1"}, {"godina", "14"}, {"mjesec", "3"}}, "Argument isplata= nije broj: x1"},
        {{{"isplata", "1"}, {"godina", "14"}, {"mjesec", "3"}}, "Godina mora imati četiri znamenke: 14"},
        {{{"isplata", "1"}, {"godina", "2014"}, {"mjesec", "13"}}, "Mjesec mora biti od 1 do 12: 13"},
        {{{"isplata", "7"}, {"godina", "2014"}, {"mjesec", "0"}}, "Mjesec mora biti od 1 do 12: 0"},
        {{{"isplata", "7"}, {"godina", "2014"}, {"mjesec", "12"}}, "Isplata 7 ne postoji."},
        {{{"isplata", "1"}, {"godina", "2014"}, {"mjesec", "1"}, {"printer", "X"}},
         "Vrsta pisača (printer=) mora biti M (matrični) ili L (laserski): X"},
        {{{"isplata", "1"}, {"godina", "2014"}, {"mjesec", "1"}, {"papir", "plavi"}}, "Papir ne valja."},
        {good, ""},
    };
    for (const auto& [given, fault] : cases) {
        ExportArgs args(given);
        EXPECT_EQ(checkArguments(declared(), args), fault);
    }
    ExportArgs args({{"isplata", "1"}, {"godina", " 2014 "}, {"mjesec", "3"}, {"printer", " m"}, {"papir", " ČISTI"}});
    ASSERT_EQ(checkArguments(declared(), args), "");
    EXPECT_EQ(args.year("godina"), "2014");
    EXPECT_EQ(args.printer(), 'M');
    EXPECT_EQ(args.number("param"), 1);
    EXPECT_EQ(ExportArgs(good).printer(), 'M') << "an unchecked call still reads a printer";
}

}  // namespace
}  // namespace marel
