#include "frame/BackupCommand.h"

#include <filesystem>
#include <ostream>

#include "store/Backup.h"
#include "store/Store.h"

namespace marel {

namespace {

// A folder's file is copied as it stands; a server's data, named directly
// or through the folder's MAREL.conf, through a connection of the store.
std::string writeCopy(const std::string& data, const std::string& target) {
    std::string address;
    if (serverAddressOf(data, address) != 0) return "Kopija nije zapisana: " + storeErrorText() + ".";
    if (address.empty()) return writeBackupOfFolder(data, target);
    Store store;
    if (store.open(data, "") != 0) return "Kopija nije zapisana: " + data + ": " + errorText() + " (" + storeErrorText() + ").";
    return writeBackup(store, target);
}

}  // namespace

int runBackupCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string data = std::filesystem::current_path().string(), target;
    for (size_t i = 0; i < args.size(); ++i) {
        const bool known = args[i] == "--data" || args[i] == "--out";
        if (!known || i + 1 >= args.size()) {
            err << "Upotreba: marel kopija [--data MAPA|ADRESA] --out DATOTEKA" << std::endl;
            return 2;
        }
        (args[i] == "--data" ? data : target) = args[i + 1];
        ++i;
    }
    if (target.empty()) {
        err << "Nedostaje --out DATOTEKA" << std::endl;
        return 2;
    }
    if (const std::string why = writeCopy(data, target); !why.empty()) {
        err << why << std::endl;
        return 1;
    }
    out << "Kopija podataka zapisana u " << target << std::endl;
    return 0;
}

}  // namespace marel
