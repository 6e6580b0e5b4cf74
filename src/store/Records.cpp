#include "store/Records.h"

#include <cstddef>

// The record structs hold std::string members; their field offsets are still fixed
// for the life of the program, which is all the generic field access needs.
#pragma GCC diagnostic ignored "-Winvalid-offsetof"

namespace marel {

const Layout& OsobeFile::LAYOUT() {
    static const Layout layout{"OSOBE", "OSO", 217, true,
        {
            {"OZNAKA", FieldType::Long, 4, 0, offsetof(OSOBE_REC, OZNAKA)},
            {"IME", FieldType::String, 20, 0, offsetof(OSOBE_REC, IME)},
            {"PREZIME", FieldType::String, 25, 0, offsetof(OSOBE_REC, PREZIME)},
            {"JMBG", FieldType::String, 13, 0, offsetof(OSOBE_REC, JMBG)},
            {"OIB", FieldType::String, 11, 0, offsetof(OSOBE_REC, OIB)},
            {"MJESTO", FieldType::Long, 4, 0, offsetof(OSOBE_REC, MJESTO)},
            {"ULICA", FieldType::Long, 4, 0, offsetof(OSOBE_REC, ULICA)},
            {"KUCNIBROJ", FieldType::String, 5, 0, offsetof(OSOBE_REC, KUCNIBROJ)},
            {"BANKA", FieldType::UShort, 2, 0, offsetof(OSOBE_REC, BANKA)},
            {"RKONT", FieldType::String, 4, 0, offsetof(OSOBE_REC, RKONT)},
            {"RACUN", FieldType::String, 10, 0, offsetof(OSOBE_REC, RACUN)},
            {"MODEL", FieldType::String, 2, 0, offsetof(OSOBE_REC, MODEL)},
            {"RACUNPOZIV", FieldType::String, 20, 0, offsetof(OSOBE_REC, RACUNPOZIV)},
            {"KUCNITELEFON", FieldType::String, 15, 0, offsetof(OSOBE_REC, KUCNITELEFON)},
            {"TELEFONNAPOSLU", FieldType::String, 15, 0, offsetof(OSOBE_REC, TELEFONNAPOSLU)},
            {"FAX", FieldType::String, 15, 0, offsetof(OSOBE_REC, FAX)},
            {"EMAIL", FieldType::String, 40, 0, offsetof(OSOBE_REC, EMAIL)},
            {"DRUGISTUP", FieldType::String, 2, 0, offsetof(OSOBE_REC, DRUGISTUP)},
            {"FAKTORODBITKA", FieldType::Decimal, 5, 2, offsetof(OSOBE_REC, FAKTORODBITKA)},
            {"STATUS", FieldType::String, 3, 0, offsetof(OSOBE_REC, STATUS)},
        },
        {
            {"KEYOZNAKA", true, {"OZNAKA"}},
            {"KEYOIB", true, {"OIB"}, UNIQUE_WHEN_NOT_BLANK},
            {"KEYPREZIMEIME", false, {"PREZIME", "IME"}},
            {"KEYBANKA", false, {"BANKA"}},
            {"KEYMJESTO", false, {"MJESTO"}},
            {"KEYULICA", false, {"ULICA"}},
        }};
    return layout;
}
OsobeFile::OsobeFile(Store& store) : DataFile(store, LAYOUT(), static_cast<OSOBE_REC*>(this)) {}
OsobeFile OSOBE;
OSOBE_REC& OSO = OSOBE;

const Layout& SubjektiFile::LAYOUT() {
    static const Layout layout{"SUBJEKTI", "SUB", 186, true,
        {
            {"OZNAKA", FieldType::Long, 4, 0, offsetof(SUBJEKTI_REC, OZNAKA)},
            {"TIP", FieldType::String, 1, 0, offsetof(SUBJEKTI_REC, TIP)},
            {"NAZIV", FieldType::String, 40, 0, offsetof(SUBJEKTI_REC, NAZIV)},
            {"POREZNIBROJ", FieldType::String, 13, 0, offsetof(SUBJEKTI_REC, POREZNIBROJ)},
            {"OIB", FieldType::String, 11, 0, offsetof(SUBJEKTI_REC, OIB)},
            {"MJESTO", FieldType::Long, 4, 0, offsetof(SUBJEKTI_REC, MJESTO)},
            {"ULICA", FieldType::Long, 4, 0, offsetof(SUBJEKTI_REC, ULICA)},
            {"KUCNIBROJ", FieldType::String, 5, 0, offsetof(SUBJEKTI_REC, KUCNIBROJ)},
            {"BANKA", FieldType::UShort, 2, 0, offsetof(SUBJEKTI_REC, BANKA)},
            {"RKONT", FieldType::String, 4, 0, offsetof(SUBJEKTI_REC, RKONT)},
            {"RACUN", FieldType::String, 10, 0, offsetof(SUBJEKTI_REC, RACUN)},
            {"TELEFON", FieldType::String, 15, 0, offsetof(SUBJEKTI_REC, TELEFON)},
            {"MOBITEL", FieldType::String, 15, 0, offsetof(SUBJEKTI_REC, MOBITEL)},
            {"FAX", FieldType::String, 15, 0, offsetof(SUBJEKTI_REC, FAX)},
            {"EMAIL", FieldType::String, 40, 0, offsetof(SUBJEKTI_REC, EMAIL)},
            {"STATUS", FieldType::String, 3, 0, offsetof(SUBJEKTI_REC, STATUS)},
        },
        {
            {"KEYOZNAKA", true, {"OZNAKA"}},
            {"KEYNAZIV", false, {"NAZIV"}},
            {"KEYMJESTO", false, {"MJESTO"}},
            {"KEYULICA", false, {"ULICA"}},
            {"KEYBANKA", false, {"BANKA"}},
            {"KEYPOREZNIBROJ", true, {"POREZNIBROJ"}, UNIQUE_WHEN_NOT_BLANK},
            {"KEYOIB", true, {"OIB"}, UNIQUE_WHEN_NOT_BLANK},
        }};
    return layout;
}
SubjektiFile::SubjektiFile(Store& store) : DataFile(store, LAYOUT(), static_cast<SUBJEKTI_REC*>(this)) {}
SubjektiFile SUBJEKTI;
SUBJEKTI_REC& SUB = SUBJEKTI;

const Layout& OpcineFile::LAYOUT() {
    static const Layout layout{"OPCINE", "OPC", 133, true,
        {
            {"OZNAKA", FieldType::Long, 4, 0, offsetof(OPCINE_REC, OZNAKA)},
            {"SHIFRA", FieldType::String, 4, 0, offsetof(OPCINE_REC, SHIFRA)},
            {"NAZIV", FieldType::String, 25, 0, offsetof(OPCINE_REC, NAZIV)},
            {"RKONT", FieldType::String, 4, 0, offsetof(OPCINE_REC, RKONT)},
            {"RACUNPOREZ", FieldType::String, 10, 0, offsetof(OPCINE_REC, RACUNPOREZ)},
            {"STOPAPRIREZA", FieldType::Decimal, 7, 2, offsetof(OPCINE_REC, STOPAPRIREZA)},
            {"RACUN1", FieldType::String, 10, 0, offsetof(OPCINE_REC, RACUN1)},
            {"RACUN2", FieldType::String, 10, 0, offsetof(OPCINE_REC, RACUN2)},
            {"RACUN3", FieldType::String, 10, 0, offsetof(OPCINE_REC, RACUN3)},
            {"RACUN4", FieldType::String, 10, 0, offsetof(OPCINE_REC, RACUN4)},
            {"RACUN5", FieldType::String, 10, 0, offsetof(OPCINE_REC, RACUN5)},
            {"STRING1", FieldType::String, 20, 0, offsetof(OPCINE_REC, STRING1)},
            {"DECIMAL1", FieldType::Decimal, 7, 2, offsetof(OPCINE_REC, DECIMAL1)},
            {"DECIMAL2", FieldType::Decimal, 7, 2, offsetof(OPCINE_REC, DECIMAL2)},
            {"PARENT1", FieldType::UShort, 2, 0, offsetof(OPCINE_REC, PARENT1)},
            {"PARENT2", FieldType::UShort, 2, 0, offsetof(OPCINE_REC, PARENT2)},
        },
        {
            {"KEYOZNAKA", true, {"OZNAKA"}},
            {"KEYNAZIV", false, {"NAZIV"}},
            {"KEYPARENT1", false, {"PARENT1"}},
            {"KEYPARENT2", false, {"PARENT2"}},
        }};
    return layout;
}
OpcineFile::OpcineFile(Store& store) : DataFile(store, LAYOUT(), static_cast<OPCINE_REC*>(this)) {}
OpcineFile OPCINE;
OPCINE_REC& OPC = OPCINE;

const Layout& MjestaFile::LAYOUT() {
    static const Layout layout{"MJESTA", "MJE", 39, true,
        {
            {"OZNAKA", FieldType::Long, 4, 0, offsetof(MJESTA_REC, OZNAKA)},
            {"NAZIV", FieldType::String, 25, 0, offsetof(MJESTA_REC, NAZIV)},
            {"OPCINA", FieldType::Long, 4, 0, offsetof(MJESTA_REC, OPCINA)},
            {"POSTBROJ", FieldType::String, 6, 0, offsetof(MJESTA_REC, POSTBROJ)},
        },
        {
            {"KEYOZNAKA", true, {"OZNAKA"}},
            {"KEYNAZIV", false, {"NAZIV"}},
            {"KEYOPCINA", false, {"OPCINA"}},
        }};
    return layout;
}
MjestaFile::MjestaFile(Store& store) : DataFile(store, LAYOUT(), static_cast<MJESTA_REC*>(this)) {}
MjestaFile MJESTA;
MJESTA_REC& MJE = MJESTA;

const Layout& UliceFile::LAYOUT() {
    static const Layout layout{"ULICE", "ULI", 29, true,
        {
            {"OZNAKA", FieldType::Long, 4, 0, offsetof(ULICE_REC, OZNAKA)},
            {"NAZIV", FieldType::String, 25, 0, offsetof(ULICE_REC, NAZIV)},
        },
        {
            {"KEYOZNAKA", true, {"OZNAKA"}},
            {"KEYNAZIV", true, {"NAZIV"}},
        }};
    return layout;
}
UliceFile::UliceFile(Store& store) : DataFile(store, LAYOUT(), static_cast<ULICE_REC*>(this)) {}
UliceFile ULICE;
ULICE_REC& ULI = ULICE;

const Layout& BankeFile::LAYOUT() {
    static const Layout layout{"BANKE", "BAN", 49, true,
        {
            {"OZNAKA", FieldType::UShort, 2, 0, offsetof(BANKE_REC, OZNAKA)},
            {"NAZIV", FieldType::String, 40, 0, offsetof(BANKE_REC, NAZIV)},
            {"VODECIBROJ", FieldType::String, 7, 0, offsetof(BANKE_REC, VODECIBROJ)},
        },
        {
            {"KEYOZNAKA", true, {"OZNAKA"}},
            {"KEYNAZIV", false, {"NAZIV"}},
        }};
    return layout;
}
BankeFile::BankeFile(Store& store) : DataFile(store, LAYOUT(), static_cast<BANKE_REC*>(this)) {}
BankeFile BANKE;
BANKE_REC& BAN = BANKE;

const Layout& UplatnirnFile::LAYOUT() {
    static const Layout layout{"UPLATNIRN", "UPL", 19, false,
        {
            {"OZNAKA", FieldType::Long, 4, 0, offsetof(UPLATNIRN_REC, OZNAKA)},
            {"OPCINA", FieldType::Long, 4, 0, offsetof(UPLATNIRN_REC, OPCINA)},
            {"JAVNIPRIHOD", FieldType::Byte, 1, 0, offsetof(UPLATNIRN_REC, JAVNIPRIHOD)},
            {"RACUN", FieldType::String, 10, 0, offsetof(UPLATNIRN_REC, RACUN)},
        },
        {
            {"KEYOZNAKA", true, {"OZNAKA"}},
            {"KEYJAVOPC", true, {"OPCINA", "JAVNIPRIHOD"}},
            {"KEYJAVNIPRIHOD", false, {"JAVNIPRIHOD"}},
            {"KEYOPCINA", false, {"OPCINA"}},
        }};
    return layout;
}
UplatnirnFile::UplatnirnFile(Store& store) : DataFile(store, LAYOUT(), static_cast<UPLATNIRN_REC*>(this)) {}
UplatnirnFile UPLATNIRN;
UPLATNIRN_REC& UPL = UPLATNIRN;

const Layout& IsplateFile::LAYOUT() {
    static const Layout layout{"ISPLATE", "ISP", 21, true,
        {
            {"OZNAKA", FieldType::Long, 4, 0, offsetof(ISPLATE_REC, OZNAKA)},
            {"ISPLATITELJ", FieldType::Long, 4, 0, offsetof(ISPLATE_REC, ISPLATITELJ)},
            {"RSID", FieldType::String, 5, 0, offsetof(ISPLATE_REC, RSID)},
            {"DATUM", FieldType::Date, 4, 0, offsetof(ISPLATE_REC, DATUM)},
            {"GODINA", FieldType::String, 4, 0, offsetof(ISPLATE_REC, GODINA)},
            {"BILJESKE", FieldType::Memo, 1000, 0, offsetof(ISPLATE_REC, BILJESKE)},
        },
        {
            {"KEYOZNAKA", true, {"OZNAKA"}},
            {"KEYISPLATITELJ", false, {"ISPLATITELJ"}},
            {"KEYDATUM", false, {"DATUM"}},
            {"KEYRSID", false, {"RSID"}},
            {"KEYGODINA", false, {"GODINA"}},
            {"KEYRSIDISPLATITELJ", true, {"ISPLATITELJ", "-GODINA", "-RSID"}},
        }};
    return layout;
}
IsplateFile::IsplateFile(Store& store) : DataFile(store, LAYOUT(), static_cast<ISPLATE_REC*>(this)) {}
IsplateFile ISPLATE;
ISPLATE_REC& ISP = ISPLATE;

const Layout& DohociFile::LAYOUT() {
    static const Layout layout{"DOHOCI", "DOH", 21, true,
        {
            {"OZNAKA", FieldType::Long, 4, 0, offsetof(DOHOCI_REC, OZNAKA)},
            {"REDNIBROJ", FieldType::UShort, 2, 0, offsetof(DOHOCI_REC, REDNIBROJ)},
            {"ISPLATA", FieldType::Long, 4, 0, offsetof(DOHOCI_REC, ISPLATA)},
            {"DJELATNIK", FieldType::Long, 4, 0, offsetof(DOHOCI_REC, DJELATNIK)},
            {"VRSTADOHOTKA", FieldType::Byte, 1, 0, offsetof(DOHOCI_REC, VRSTADOHOTKA)},
            {"NETO", FieldType::Decimal, 11, 2, offsetof(DOHOCI_REC, NETO)},
        },
        {
            {"KEYOZNAKA", true, {"OZNAKA"}},
            {"KEYISPLATA", false, {"ISPLATA"}},
            {"KEYDJELATNIK", false, {"DJELATNIK"}},
            {"KEYVRSTADOHOTKA", false, {"VRSTADOHOTKA"}},
            {"KEYREDNIBROJ", false, {"REDNIBROJ"}},
        }};
    return layout;
}
DohociFile::DohociFile(Store& store) : DataFile(store, LAYOUT(), static_cast<DOHOCI_REC*>(this)) {}
DohociFile DOHOCI;
DOHOCI_REC& DOH = DOHOCI;

const Layout& ObracunFile::LAYOUT() {
    static const Layout layout{"OBRACUN", "OBR", 12, false,
        {
            {"DOHODAK", FieldType::Long, 4, 0, offsetof(OBRACUN_REC, DOHODAK)},
            {"POZICIJA", FieldType::UShort, 2, 0, offsetof(OBRACUN_REC, POZICIJA)},
            {"IZNOS", FieldType::Decimal, 11, 2, offsetof(OBRACUN_REC, IZNOS)},
        },
        {
            {"KEYDOHODAK", false, {"DOHODAK"}},
            {"KEYPOZICIJA", false, {"POZICIJA"}},
            {"KEYDOHPOZ", true, {"DOHODAK", "POZICIJA"}},
        }};
    return layout;
}
ObracunFile::ObracunFile(Store& store) : DataFile(store, LAYOUT(), static_cast<OBRACUN_REC*>(this)) {}
ObracunFile OBRACUN;
OBRACUN_REC& OBR = OBRACUN;

const Layout& SvastaFile::LAYOUT() {
    static const Layout layout{"SVASTA", "SVA", 27, false,
        {
            {"DOHODAK", FieldType::Long, 4, 0, offsetof(SVASTA_REC, DOHODAK)},
            {"BROJ", FieldType::Byte, 1, 0, offsetof(SVASTA_REC, BROJ)},
            {"VRISHORT", FieldType::Short, 2, 0, offsetof(SVASTA_REC, VRISHORT)},
            {"VRITEKST", FieldType::String, 20, 0, offsetof(SVASTA_REC, VRITEKST)},
        },
        {
            {"KEYDOHODAK", false, {"DOHODAK"}},
            {"KEYDOHBROJ", true, {"DOHODAK", "BROJ"}},
        }};
    return layout;
}
SvastaFile::SvastaFile(Store& store) : DataFile(store, LAYOUT(), static_cast<SVASTA_REC*>(this)) {}
SvastaFile SVASTA;
SVASTA_REC& SVA = SVASTA;

const Layout& JopoFile::LAYOUT() {
    static const Layout layout{"JOPO", "JOPO", 283, true,
        {
            {"OZNAKA", FieldType::Long, 4, 0, offsetof(JOPO_REC, OZNAKA)},
            {"ISPLATA", FieldType::Long, 4, 0, offsetof(JOPO_REC, ISPLATA)},
            {"RBR", FieldType::Byte, 1, 0, offsetof(JOPO_REC, RBR)},
            {"IMEAUTORA", FieldType::String, 30, 0, offsetof(JOPO_REC, IMEAUTORA)},
            {"PREZIMEAUTORA", FieldType::String, 30, 0, offsetof(JOPO_REC, PREZIMEAUTORA)},
            {"EMAIL", FieldType::String, 50, 0, offsetof(JOPO_REC, EMAIL)},
            {"UJED", FieldType::String, 36, 0, offsetof(JOPO_REC, UJED)},
            {"DATOTEKA", FieldType::String, 128, 0, offsetof(JOPO_REC, DATOTEKA)},
        },
        {
            {"KEYOZNAKA", true, {"OZNAKA"}},
            {"KEYDATOTEKA", false, {"DATOTEKA"}},
            {"KEYJEDINSTVO", true, {"-ISPLATA", "RBR"}},
            {"KEYISPLATA", false, {"-ISPLATA"}},
            {"KEYUJED", true, {"UJED"}},
        }};
    return layout;
}
JopoFile::JopoFile(Store& store) : DataFile(store, LAYOUT(), static_cast<JOPO_REC*>(this)) {}
JopoFile JOPO;

const Layout& Id1File::LAYOUT() {
    static const Layout layout{"ID1", "ID1", 126, true,
        {
            {"OZNAKA", FieldType::Long, 4, 0, offsetof(ID1_REC, OZNAKA)},
            {"ISPLATITELJ", FieldType::Long, 4, 0, offsetof(ID1_REC, ISPLATITELJ)},
            {"STORNO", FieldType::String, 5, 0, offsetof(ID1_REC, STORNO)},
            {"GODINA", FieldType::String, 4, 0, offsetof(ID1_REC, GODINA)},
            {"KONIME", FieldType::String, 20, 0, offsetof(ID1_REC, KONIME)},
            {"KONPREZIME", FieldType::String, 25, 0, offsetof(ID1_REC, KONPREZIME)},
            {"KONPOZ1", FieldType::UShort, 2, 0, offsetof(ID1_REC, KONPOZ1)},
            {"KONTEL1", FieldType::String, 10, 0, offsetof(ID1_REC, KONTEL1)},
            {"KONPOZ2", FieldType::UShort, 2, 0, offsetof(ID1_REC, KONPOZ2)},
            {"KONTEL2", FieldType::String, 10, 0, offsetof(ID1_REC, KONTEL2)},
            {"KONEMAIL", FieldType::String, 40, 0, offsetof(ID1_REC, KONEMAIL)},
        },
        {
            {"KEYOZNAKA", true, {"OZNAKA"}},
            {"KEYISPLATITELJ", false, {"ISPLATITELJ"}},
            {"KEYISPGOD", false, {"-GODINA", "ISPLATITELJ"}},
        }};
    return layout;
}
Id1File::Id1File(Store& store) : DataFile(store, LAYOUT(), static_cast<ID1_REC*>(this)) {}
Id1File ID1;

const Layout& KriporezFile::LAYOUT() {
    static const Layout layout{"KRIPOREZ", "KRP", 13, true,
        {
            {"OZNAKA", FieldType::Long, 4, 0, offsetof(KRIPOREZ_REC, OZNAKA)},
            {"ISPLATITELJ", FieldType::Long, 4, 0, offsetof(KRIPOREZ_REC, ISPLATITELJ)},
            {"GODINA", FieldType::String, 4, 0, offsetof(KRIPOREZ_REC, GODINA)},
            {"MJESEC", FieldType::Byte, 1, 0, offsetof(KRIPOREZ_REC, MJESEC)},
            {"BILJESKE", FieldType::Memo, 2000, 0, offsetof(KRIPOREZ_REC, BILJESKE)},
        },
        {
            {"KEYOZNAKA", true, {"OZNAKA"}},
            {"KEYGLAVNI", true, {"-GODINA", "-MJESEC", "ISPLATITELJ"}},
            {"KEYISPLATITELJ", false, {"ISPLATITELJ"}},
        }};
    return layout;
}
KriporezFile::KriporezFile(Store& store) : DataFile(store, LAYOUT(), static_cast<KRIPOREZ_REC*>(this)) {}
KriporezFile KRIPOREZ;
KRIPOREZ_REC& KRP = KRIPOREZ;

const Layout& DetkripFile::LAYOUT() {
    static const Layout layout{"DETKRIP", "DKP", 19, false,
        {
            {"KRIPOREZ", FieldType::Long, 4, 0, offsetof(DETKRIP_REC, KRIPOREZ)},
            {"VRSTA", FieldType::Byte, 1, 0, offsetof(DETKRIP_REC, VRSTA)},
            {"BROJ", FieldType::Short, 2, 0, offsetof(DETKRIP_REC, BROJ)},
            {"OSNOVICA", FieldType::Decimal, 11, 2, offsetof(DETKRIP_REC, OSNOVICA)},
            {"IZNOS", FieldType::Decimal, 11, 2, offsetof(DETKRIP_REC, IZNOS)},
        },
        {
            {"KEYKRIPOREZ", false, {"KRIPOREZ"}},
            {"KEYGLAVNI", true, {"KRIPOREZ", "VRSTA"}},
        }};
    return layout;
}
DetkripFile::DetkripFile(Store& store) : DataFile(store, LAYOUT(), static_cast<DETKRIP_REC*>(this)) {}
DetkripFile DETKRIP;
DETKRIP_REC& DKP = DETKRIP;

const Layout& VrstedohFile::LAYOUT() {
    static const Layout layout{"VRSTEDOH", "VRS", 149, true,
        {
            {"OZNAKA", FieldType::Byte, 1, 0, offsetof(VRSTEDOH_REC, OZNAKA)},
            {"NAZIV", FieldType::String, 50, 0, offsetof(VRSTEDOH_REC, NAZIV)},
            {"NEOPOREZIVIDIO", FieldType::Decimal, 5, 2, offsetof(VRSTEDOH_REC, NEOPOREZIVIDIO)},
            {"POREZNASTOPA", FieldType::Decimal, 5, 2, offsetof(VRSTEDOH_REC, POREZNASTOPA)},
            {"RNPOREZ", FieldType::String, 4, 0, offsetof(VRSTEDOH_REC, RNPOREZ)},
            {"TIPPOREZ", FieldType::String, 1, 0, offsetof(VRSTEDOH_REC, TIPPOREZ)},
            {"VISESTOPA", FieldType::String, 2, 0, offsetof(VRSTEDOH_REC, VISESTOPA)},
            {"PRIZNATITROSKOVI", FieldType::Decimal, 5, 2, offsetof(VRSTEDOH_REC, PRIZNATITROSKOVI)},
            {"MIROVINSKOISTUP", FieldType::Decimal, 5, 2, offsetof(VRSTEDOH_REC, MIROVINSKOISTUP)},
            {"RNMOI", FieldType::String, 4, 0, offsetof(VRSTEDOH_REC, RNMOI)},
            {"TIPMOI", FieldType::String, 1, 0, offsetof(VRSTEDOH_REC, TIPMOI)},
            {"MIROVINSKOIISTUP", FieldType::Decimal, 5, 2, offsetof(VRSTEDOH_REC, MIROVINSKOIISTUP)},
            {"RNMOII", FieldType::String, 4, 0, offsetof(VRSTEDOH_REC, RNMOII)},
            {"TIPMOII", FieldType::String, 1, 0, offsetof(VRSTEDOH_REC, TIPMOII)},
            {"ZDRAVSTVENOOSIGURANJE", FieldType::Decimal, 5, 2, offsetof(VRSTEDOH_REC, ZDRAVSTVENOOSIGURANJE)},
            {"RNZO", FieldType::String, 4, 0, offsetof(VRSTEDOH_REC, RNZO)},
            {"TIPZO", FieldType::String, 1, 0, offsetof(VRSTEDOH_REC, TIPZO)},
            {"ZAPOSLJAVANJE", FieldType::Decimal, 5, 2, offsetof(VRSTEDOH_REC, ZAPOSLJAVANJE)},
            {"OSOBNIODBITAK", FieldType::Decimal, 7, 2, offsetof(VRSTEDOH_REC, OSOBNIODBITAK)},
            {"OSNOVAOBRACUNA", FieldType::String, 20, 0, offsetof(VRSTEDOH_REC, OSNOVAOBRACUNA)},
            {"STUPACIDD", FieldType::Byte, 1, 0, offsetof(VRSTEDOH_REC, STUPACIDD)},
            {"REZSTRINGA", FieldType::String, 2, 0, offsetof(VRSTEDOH_REC, REZSTRINGA)},
            {"REZSTRINGB", FieldType::String, 15, 0, offsetof(VRSTEDOH_REC, REZSTRINGB)},
            {"REZDECIMALA", FieldType::Decimal, 9, 2, offsetof(VRSTEDOH_REC, REZDECIMALA)},
            {"REZDECIMALB", FieldType::Decimal, 7, 2, offsetof(VRSTEDOH_REC, REZDECIMALB)},
            {"REZDECIMALC", FieldType::Decimal, 7, 2, offsetof(VRSTEDOH_REC, REZDECIMALC)},
        },
        {
            {"KEYOZNAKA", true, {"OZNAKA"}},
            {"KEYSTUPACIDD", false, {"STUPACIDD"}},
        }};
    return layout;
}
VrstedohFile::VrstedohFile(Store& store) : DataFile(store, LAYOUT(), static_cast<VRSTEDOH_REC*>(this)) {}
VrstedohFile VRSTEDOH;
VRSTEDOH_REC& VRS = VRSTEDOH;

const Layout& PozicijeFile::LAYOUT() {
    static const Layout layout{"POZICIJE", "POZ", 26, false,
        {
            {"OZNAKA", FieldType::UShort, 2, 0, offsetof(POZICIJE_REC, OZNAKA)},
            {"NAZIV", FieldType::String, 20, 0, offsetof(POZICIJE_REC, NAZIV)},
            {"UPLATNIRN", FieldType::String, 4, 0, offsetof(POZICIJE_REC, UPLATNIRN)},
        },
        {
            {"KEYOZNAKA", true, {"OZNAKA"}},
        }};
    return layout;
}
PozicijeFile::PozicijeFile(Store& store) : DataFile(store, LAYOUT(), static_cast<POZICIJE_REC*>(this)) {}
PozicijeFile POZICIJE;
POZICIJE_REC& POZ = POZICIJE;

const Layout& PorstopeFile::LAYOUT() {
    static const Layout layout{"PORSTOPE", "POR", 10, false,
        {
            {"OZNAKA", FieldType::UShort, 2, 0, offsetof(PORSTOPE_REC, OZNAKA)},
            {"STOPA", FieldType::Decimal, 5, 2, offsetof(PORSTOPE_REC, STOPA)},
            {"OSNOVICA", FieldType::Decimal, 9, 2, offsetof(PORSTOPE_REC, OSNOVICA)},
        },
        {
            {"KEYOZNAKA", true, {"OZNAKA"}},
        }};
    return layout;
}
PorstopeFile::PorstopeFile(Store& store) : DataFile(store, LAYOUT(), static_cast<PORSTOPE_REC*>(this)) {}
PorstopeFile PORSTOPE;
PORSTOPE_REC& POR = PORSTOPE;

const Layout& NeoporezFile::LAYOUT() {
    static const Layout layout{"NEOPOREZ", "NEO", 524, false,
        {
            {"OZNAKA", FieldType::Short, 2, 0, offsetof(NEOPOREZ_REC, OZNAKA)},
            {"SHIFRA", FieldType::Short, 2, 0, offsetof(NEOPOREZ_REC, SHIFRA)},
            {"NAZIV", FieldType::String, 500, 0, offsetof(NEOPOREZ_REC, NAZIV)},
            {"KONTROLA", FieldType::String, 20, 0, offsetof(NEOPOREZ_REC, KONTROLA)},
        },
        {
            {"KEYOZNAKA", true, {"OZNAKA"}},
            {"KEYSHIFRA", true, {"SHIFRA"}},
            {"KEYKONTROLA", false, {"KONTROLA"}},
        }};
    return layout;
}
NeoporezFile::NeoporezFile(Store& store) : DataFile(store, LAYOUT(), static_cast<NEOPOREZ_REC*>(this)) {}
NeoporezFile NEOPOREZ;
NEOPOREZ_REC& NEO = NEOPOREZ;

const Layout& VbratFile::LAYOUT() {
    static const Layout layout{"VBRAT", "VBR", 534, false,
        {
            {"OZNAKA", FieldType::Long, 4, 0, offsetof(VBRAT_REC, OZNAKA)},
            {"NAZIV", FieldType::String, 500, 0, offsetof(VBRAT_REC, NAZIV)},
            {"SHIFRA", FieldType::String, 10, 0, offsetof(VBRAT_REC, SHIFRA)},
            {"REZERVA", FieldType::String, 20, 0, offsetof(VBRAT_REC, REZERVA)},
        },
        {
            {"KEYOZNAKA", true, {"OZNAKA"}},
            {"KEYREZERVA", false, {"REZERVA"}},
            {"KEYSHIFRA", true, {"SHIFRA"}},
        }};
    return layout;
}
VbratFile::VbratFile(Store& store) : DataFile(store, LAYOUT(), static_cast<VBRAT_REC*>(this)) {}
VbratFile VBRAT;
VBRAT_REC& VBR = VBRAT;

const Layout& JopozijeFile::LAYOUT() {
    static const Layout layout{"JOPOZIJE", "JOP", 428, false,
        {
            {"OZNAKA", FieldType::Short, 2, 0, offsetof(JOPOZIJE_REC, OZNAKA)},
            {"GRUPA", FieldType::Byte, 1, 0, offsetof(JOPOZIJE_REC, GRUPA)},
            {"REDNIBROJ", FieldType::Short, 2, 0, offsetof(JOPOZIJE_REC, REDNIBROJ)},
            {"BRTEKST", FieldType::String, 20, 0, offsetof(JOPOZIJE_REC, BRTEKST)},
            {"TEKST1", FieldType::String, 200, 0, offsetof(JOPOZIJE_REC, TEKST1)},
            {"TEKST2", FieldType::String, 200, 0, offsetof(JOPOZIJE_REC, TEKST2)},
            {"POZICIJA", FieldType::UShort, 2, 0, offsetof(JOPOZIJE_REC, POZICIJA)},
            {"VRSTA", FieldType::String, 1, 0, offsetof(JOPOZIJE_REC, VRSTA)},
        },
        {
            {"KEYOZNAKA", true, {"OZNAKA"}},
            {"KEYREDNIBROJ", true, {"GRUPA", "REDNIBROJ"}},
        }};
    return layout;
}
JopozijeFile::JopozijeFile(Store& store) : DataFile(store, LAYOUT(), static_cast<JOPOZIJE_REC*>(this)) {}
JopozijeFile JOPOZIJE;
JOPOZIJE_REC& JOP = JOPOZIJE;

const Layout& ParamFile::LAYOUT() {
    static const Layout layout{"PARAM", "PAR", 116, true,
        {
            {"OZNAKA", FieldType::UShort, 2, 0, offsetof(PARAM_REC, OZNAKA)},
            {"XPOS", FieldType::Short, 2, 0, offsetof(PARAM_REC, XPOS)},
            {"YPOS", FieldType::Short, 2, 0, offsetof(PARAM_REC, YPOS)},
            {"MODELPRINTERA", FieldType::String, 100, 0, offsetof(PARAM_REC, MODELPRINTERA)},
            {"OZNAKAPAPIRA", FieldType::String, 6, 0, offsetof(PARAM_REC, OZNAKAPAPIRA)},
            {"DUZINA", FieldType::Short, 2, 0, offsetof(PARAM_REC, DUZINA)},
            {"SIRINA", FieldType::Short, 2, 0, offsetof(PARAM_REC, SIRINA)},
        },
        {
            {"KEYOZNAKA", true, {"OZNAKA"}},
        }};
    return layout;
}
ParamFile::ParamFile(Store& store) : DataFile(store, LAYOUT(), static_cast<PARAM_REC*>(this)) {}
ParamFile PARAM;
PARAM_REC& PAR = PARAM;

const std::vector<const Layout*>& allLayouts() {
    static const std::vector<const Layout*> all{&OsobeFile::LAYOUT(), &SubjektiFile::LAYOUT(), &OpcineFile::LAYOUT(), &MjestaFile::LAYOUT(), &UliceFile::LAYOUT(), &BankeFile::LAYOUT(), &UplatnirnFile::LAYOUT(), &IsplateFile::LAYOUT(), &DohociFile::LAYOUT(), &ObracunFile::LAYOUT(), &SvastaFile::LAYOUT(), &JopoFile::LAYOUT(), &Id1File::LAYOUT(), &KriporezFile::LAYOUT(), &DetkripFile::LAYOUT(), &VrstedohFile::LAYOUT(), &PozicijeFile::LAYOUT(), &PorstopeFile::LAYOUT(), &NeoporezFile::LAYOUT(), &VbratFile::LAYOUT(), &JopozijeFile::LAYOUT(), &ParamFile::LAYOUT()};
    return all;
}
const Layout* findLayout(std::string_view label) {
    for (auto* l : allLayouts())
        if (l->label == label) return l;
    return nullptr;
}
const std::vector<DataFile*>& allFiles() {
    static const std::vector<DataFile*> all{&OSOBE, &SUBJEKTI, &OPCINE, &MJESTA, &ULICE, &BANKE, &UPLATNIRN, &ISPLATE, &DOHOCI, &OBRACUN, &SVASTA, &JOPO, &ID1, &KRIPOREZ, &DETKRIP, &VRSTEDOH, &POZICIJE, &PORSTOPE, &NEOPOREZ, &VBRAT, &JOPOZIJE, &PARAM};
    return all;
}

}  // namespace marel
