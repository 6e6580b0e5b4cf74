#include "frame/BackupCommand.h"

#include <filesystem>
#include <ostream>

#include "store/Backup.h"

namespace marel {

int runBackupCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string data = std::filesystem::current_path().string(), target;
    for (size_t i = 0; i < args.size(); ++i) {
        const bool known = args[i] == "--data" || args[i] == "--out";
        if (!known || i + 1 >= args.size()) {
            err << "Upotreba: marel kopija [--data MAPA] --out DATOTEKA" << std::endl;
            return 2;
        }
        (args[i] == "--data" ? data : target) = args[i + 1];
        ++i;
    }
    if (target.empty()) {
        err << "Nedostaje --out DATOTEKA" << std::endl;
        return 2;
    }
    if (const std::string why = writeBackupOfFolder(data, target); !why.empty()) {
        err << why << std::endl;
        return 1;
    }
    out << "Kopija podataka zapisana u " << target << std::endl;
    return 0;
}

}  // namespace marel
