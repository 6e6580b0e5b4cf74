#pragma once
// Municipalities and places: their lists, choosers and forms.
#include <memory>

#include "common/Text.h"
#include "store/Warnings.h"
#include "ui/screens/ListWindow.h"

namespace marel::screens {

// Municipalities above, the places of the highlighted one below. A new
// municipality saved here goes straight on to its first place.
class OPCINE_SCREEN : public ListWindow {
    Q_OBJECT
public:
    explicit OPCINE_SCREEN(QWidget* parent = nullptr);

private:
    LONG opcina_ = -1;          // the highlighted municipality; -1 with none
    bool placePending_ = false;  // this window's insert asked for a first place
};

// The municipality form with the IBAN of its tax account.
class UPISOPCINE : public FormProcedure {
public:
    using FormProcedure::FormProcedure;
    LONG run(LONG request);
};

// The municipality form of the chooser: the account without its IBAN.
class UPISIZODABIRAOPCINE : public FormProcedure {
public:
    using FormProcedure::FormProcedure;
    LONG run(LONG request);
};

// All places by name, with their municipality; also the chooser of a place.
class MJESTA_SCREEN : public ListWindow {
    Q_OBJECT
public:
    explicit MJESTA_SCREEN(QWidget* parent = nullptr);

private:
    // The window's controls are built before its members: the name under
    // the list lives apart, made first.
    MJESTA_SCREEN(std::unique_ptr<String<25>> mjesto, QWidget* parent);
    std::unique_ptr<String<25>> mjesto_;  // LOC:MJESTO, the highlighted place's name
    FileUse municipalities_;              // each row shows its municipality
};

// The place form of the places list: the municipality is chosen from a list.
class UPISMJESTA : public FormProcedure {
public:
    using FormProcedure::FormProcedure;
    LONG run(LONG request);
};

// The place form of the municipality list: the municipality comes with it.
class UPISMJESTAIZOPCINE : public FormProcedure {
public:
    using FormProcedure::FormProcedure;
    LONG run(LONG request);
};

// The chooser of a municipality; a choice leaves it in the OPCINE buffer.
class ODABIROPCINE : public ListWindow {
    Q_OBJECT
public:
    explicit ODABIROPCINE(QWidget* parent = nullptr);
};

}  // namespace marel::screens
