#include "frame/TransferCommand.h"

#include <filesystem>
#include <ostream>

#include "common/Picture.h"
#include "common/Text.h"
#include "store/Store.h"
#include "store/Transfer.h"

namespace marel {

namespace fs = std::filesystem;

namespace {

// The noun after a number: one, two to four, or five and more (11 to 14 too).
std::string counted(int64_t n, const char* one, const char* few, const char* many) {
    const int64_t last = n % 10, lastTwo = n % 100;
    const char* word = last == 1 && lastTwo != 11                                  ? one
                       : last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14) ? few
                                                                                    : many;
    // 1.234.567: the thousands parted as a Croatian reader parts them.
    return trim(formatAs("@N20.`0", n)) + " " + word;
}

// The source is read as it is: a folder without data is not made one.
std::string openSource(Store& from, const std::string& source) {
    std::string address;
    if (serverAddressOf(source, address) != 0) return storeErrorText();
    if (address.empty() && !fs::is_regular_file(fs::path(source) / "MAREL.DB"))
        return "u mapi " + source + " nema podataka (MAREL.DB)";
    if (from.open(source, "") != 0) return source + ": " + errorText() + " (" + storeErrorText() + ")";
    return {};
}

}  // namespace

int runTransferCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string source, target;
    for (size_t i = 0; i < args.size(); i += 2) {
        const bool known = args[i] == "--from" || args[i] == "--to";
        if (!known || i + 1 >= args.size()) break;
        (args[i] == "--from" ? source : target) = args[i + 1];
    }
    if (source.empty() || target.empty() || args.size() != 4) {
        err << "Upotreba: marel prenesi --from IZVOR --to ODREDISTE" << std::endl;
        return 2;
    }
    Store from, to;
    if (const std::string why = openSource(from, source); !why.empty()) {
        err << "Podaci nisu preneseni: " << why << "." << std::endl;
        return 1;
    }
    std::string address;
    std::error_code ec;
    const bool made = serverAddressOf(target, address) == 0 && address.empty() && fs::create_directories(target, ec);
    std::string why;
    TransferCount count;
    if (to.open(target, "") != 0) why = "Podaci nisu preneseni: " + target + ": " + errorText() + " (" + storeErrorText() + ").";
    if (why.empty()) why = transferData(from, to, &count);
    // A wrong folder or server, or another program's database: nothing
    // carried must not pass for everything carried.
    if (why.empty() && count.tables == 0)
        why = "Podaci nisu preneseni: u izvoru nema nijedne tablice podataka ovog programa.";
    to.close();
    from.close();
    if (!why.empty()) {
        // A folder made for the data and left without it goes again.
        if (made) fs::remove_all(target, ec);
        err << why << std::endl;
        return 1;
    }
    out << "Preneseno " << counted(count.tables, "tablica", "tablice", "tablica") << ", "
        << counted(count.rows, "slog", "sloga", "slogova") << " iz " << source << " u " << target << std::endl;
    return 0;
}

}  // namespace marel
