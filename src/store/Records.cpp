#include "store/Records.h"

namespace marel {

// Whether the update form numbers a new record (OZNAKA) or the user does.
enum class Numbering { AUTO, GIVEN };

// The layout and the global objects of each file of MAREL_DATA_FILES; a file
// without a prefix of its own is named by its label in messages.
#define MAREL_FIELD_OF(NAME, ...) fieldOf<&Record::NAME>(#NAME),
#define MAREL_KEY_OF(NAME, KIND, ...) Layout::KeySource{#NAME, KeyKind::KIND, #__VA_ARGS__},
#define MAREL_DEFINE_DATA_FILE(LABEL, CLASS, BYTES, NUMBERING, ...)                                      \
    const Layout& CLASS::LAYOUT() {                                                                      \
        static const Layout layout{#LABEL, #__VA_ARGS__, BYTES, Numbering::NUMBERING == Numbering::AUTO, \
                                   {MAREL_##LABEL(MAREL_FIELD_OF, MAREL_NOTHING)},                       \
                                   {MAREL_##LABEL(MAREL_NOTHING, MAREL_KEY_OF)}};                        \
        return layout;                                                                                   \
    }                                                                                                    \
    CLASS::CLASS(Store& store) : DataFile(store, LAYOUT(), static_cast<Record*>(this)) {}                \
    CLASS LABEL;                                                                                         \
    __VA_OPT__(LABEL##_REC& __VA_ARGS__ = LABEL;)

MAREL_DATA_FILES(MAREL_DEFINE_DATA_FILE)

#define MAREL_LAYOUT_ADDRESS(LABEL, CLASS, ...) &CLASS::LAYOUT(),
#define MAREL_FILE_ADDRESS(LABEL, ...) &LABEL,

const std::vector<const Layout*>& allLayouts() {
    static const std::vector<const Layout*> all{MAREL_DATA_FILES(MAREL_LAYOUT_ADDRESS)};
    return all;
}
const Layout* findLayout(std::string_view label) {
    for (auto* l : allLayouts())
        if (l->label == label) return l;
    return nullptr;
}
const std::vector<DataFile*>& allFiles() {
    static const std::vector<DataFile*> all{MAREL_DATA_FILES(MAREL_FILE_ADDRESS)};
    return all;
}

}  // namespace marel
