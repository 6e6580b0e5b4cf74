#pragma once
// Record layouts of every data file, with their keys.
//
// Each file is an object named by its label (`OSOBE`); it is also its own record
// buffer, reached through the prefix (`OSO.OIB`), and it holds its keys as members
// (`OSOBE.KEYOIB`). The global objects live on the program's database; tests and
// a second station make their own objects on another connection.
//
// A file is declared once, as the list of its fields and keys below; from it
// come the record struct, the file class with its keys, the layout the store
// maps onto the table and the global objects:
//
//     FIELD(IME, String<20>)                  member `String<20> IME` and column "IME"
//     KEY(KEYPREZIMEIME, DUPLICATE, PREZIME, IME)   member `Key KEYPREZIMEIME`, its index
//
// A key's kind is DUPLICATE, UNIQUE or UNIQUE_WHEN_NOT_BLANK; a component with
// "-" in front is descending. Fields and keys keep their order: it is the
// order of the table's columns and of the file's keys.
#include "store/DataFile.h"

namespace marel {

// OSOBE: recipients.
#define MAREL_OSOBE(FIELD, KEY)                 \
    FIELD(OZNAKA, LONG)                         \
    FIELD(IME, String<20>)                      \
    FIELD(PREZIME, String<25>)                  \
    FIELD(JMBG, String<13>)                     \
    FIELD(OIB, String<11>)                      \
    FIELD(MJESTO, LONG)                         \
    FIELD(ULICA, LONG)                          \
    FIELD(KUCNIBROJ, String<5>)                 \
    FIELD(BANKA, USHORT)                        \
    FIELD(RKONT, String<4>)                     \
    FIELD(RACUN, String<10>)                    \
    FIELD(MODEL, String<2>)                     \
    FIELD(RACUNPOZIV, String<20>)               \
    FIELD(KUCNITELEFON, String<15>)             \
    FIELD(TELEFONNAPOSLU, String<15>)           \
    FIELD(FAX, String<15>)                      \
    FIELD(EMAIL, String<40>)                    \
    FIELD(DRUGISTUP, String<2>)                 \
    FIELD(FAKTORODBITKA, Dec<5,2>)              \
    FIELD(STATUS, String<3>)                    \
    KEY(KEYOZNAKA, UNIQUE, OZNAKA)              \
    KEY(KEYOIB, UNIQUE_WHEN_NOT_BLANK, OIB)     \
    KEY(KEYPREZIMEIME, DUPLICATE, PREZIME, IME) \
    KEY(KEYBANKA, DUPLICATE, BANKA)             \
    KEY(KEYMJESTO, DUPLICATE, MJESTO)           \
    KEY(KEYULICA, DUPLICATE, ULICA)

// SUBJEKTI: payers.
#define MAREL_SUBJEKTI(FIELD, KEY)                          \
    FIELD(OZNAKA, LONG)                                     \
    FIELD(TIP, String<1>)                                   \
    FIELD(NAZIV, String<40>)                                \
    FIELD(POREZNIBROJ, String<13>)                          \
    FIELD(OIB, String<11>)                                  \
    FIELD(MJESTO, LONG)                                     \
    FIELD(ULICA, LONG)                                      \
    FIELD(KUCNIBROJ, String<5>)                             \
    FIELD(BANKA, USHORT)                                    \
    FIELD(RKONT, String<4>)                                 \
    FIELD(RACUN, String<10>)                                \
    FIELD(TELEFON, String<15>)                              \
    FIELD(MOBITEL, String<15>)                              \
    FIELD(FAX, String<15>)                                  \
    FIELD(EMAIL, String<40>)                                \
    FIELD(STATUS, String<3>)                                \
    KEY(KEYOZNAKA, UNIQUE, OZNAKA)                          \
    KEY(KEYNAZIV, DUPLICATE, NAZIV)                         \
    KEY(KEYMJESTO, DUPLICATE, MJESTO)                       \
    KEY(KEYULICA, DUPLICATE, ULICA)                         \
    KEY(KEYBANKA, DUPLICATE, BANKA)                         \
    KEY(KEYPOREZNIBROJ, UNIQUE_WHEN_NOT_BLANK, POREZNIBROJ) \
    KEY(KEYOIB, UNIQUE_WHEN_NOT_BLANK, OIB)

// OPCINE: municipalities.
#define MAREL_OPCINE(FIELD, KEY)        \
    FIELD(OZNAKA, LONG)                 \
    FIELD(SHIFRA, String<4>)            \
    FIELD(NAZIV, String<25>)            \
    FIELD(RKONT, String<4>)             \
    FIELD(RACUNPOREZ, String<10>)       \
    FIELD(STOPAPRIREZA, Dec<7,2>)       \
    FIELD(RACUN1, String<10>)           \
    FIELD(RACUN2, String<10>)           \
    FIELD(RACUN3, String<10>)           \
    FIELD(RACUN4, String<10>)           \
    FIELD(RACUN5, String<10>)           \
    FIELD(STRING1, String<20>)          \
    FIELD(DECIMAL1, Dec<7,2>)           \
    FIELD(DECIMAL2, Dec<7,2>)           \
    FIELD(PARENT1, USHORT)              \
    FIELD(PARENT2, USHORT)              \
    KEY(KEYOZNAKA, UNIQUE, OZNAKA)      \
    KEY(KEYNAZIV, DUPLICATE, NAZIV)     \
    KEY(KEYPARENT1, DUPLICATE, PARENT1) \
    KEY(KEYPARENT2, DUPLICATE, PARENT2)

// MJESTA: places.
#define MAREL_MJESTA(FIELD, KEY)      \
    FIELD(OZNAKA, LONG)               \
    FIELD(NAZIV, String<25>)          \
    FIELD(OPCINA, LONG)               \
    FIELD(POSTBROJ, String<6>)        \
    KEY(KEYOZNAKA, UNIQUE, OZNAKA)    \
    KEY(KEYNAZIV, DUPLICATE, NAZIV)   \
    KEY(KEYOPCINA, DUPLICATE, OPCINA)

// ULICE: streets.
#define MAREL_ULICE(FIELD, KEY)    \
    FIELD(OZNAKA, LONG)            \
    FIELD(NAZIV, String<25>)       \
    KEY(KEYOZNAKA, UNIQUE, OZNAKA) \
    KEY(KEYNAZIV, UNIQUE, NAZIV)

// BANKE: banks.
#define MAREL_BANKE(FIELD, KEY)     \
    FIELD(OZNAKA, USHORT)           \
    FIELD(NAZIV, String<40>)        \
    FIELD(VODECIBROJ, String<7>)    \
    KEY(KEYOZNAKA, UNIQUE, OZNAKA)  \
    KEY(KEYNAZIV, DUPLICATE, NAZIV)

// UPLATNIRN: public-revenue payment accounts of a municipality.
#define MAREL_UPLATNIRN(FIELD, KEY)             \
    FIELD(OZNAKA, LONG)                         \
    FIELD(OPCINA, LONG)                         \
    FIELD(JAVNIPRIHOD, BYTE)                    \
    FIELD(RACUN, String<10>)                    \
    KEY(KEYOZNAKA, UNIQUE, OZNAKA)              \
    KEY(KEYJAVOPC, UNIQUE, OPCINA, JAVNIPRIHOD) \
    KEY(KEYJAVNIPRIHOD, DUPLICATE, JAVNIPRIHOD) \
    KEY(KEYOPCINA, DUPLICATE, OPCINA)

// ISPLATE: payments.
#define MAREL_ISPLATE(FIELD, KEY)                                \
    FIELD(OZNAKA, LONG)                                          \
    FIELD(ISPLATITELJ, LONG)                                     \
    FIELD(RSID, String<5>)                                       \
    FIELD(DATUM, Date)                                           \
    FIELD(GODINA, String<4>)                                     \
    FIELD(BILJESKE, Memo<1000>)                                  \
    KEY(KEYOZNAKA, UNIQUE, OZNAKA)                               \
    KEY(KEYISPLATITELJ, DUPLICATE, ISPLATITELJ)                  \
    KEY(KEYDATUM, DUPLICATE, DATUM)                              \
    KEY(KEYRSID, DUPLICATE, RSID)                                \
    KEY(KEYGODINA, DUPLICATE, GODINA)                            \
    KEY(KEYRSIDISPLATITELJ, UNIQUE, ISPLATITELJ, -GODINA, -RSID)

// DOHOCI: income lines.
#define MAREL_DOHOCI(FIELD, KEY)                  \
    FIELD(OZNAKA, LONG)                           \
    FIELD(REDNIBROJ, USHORT)                      \
    FIELD(ISPLATA, LONG)                          \
    FIELD(DJELATNIK, LONG)                        \
    FIELD(VRSTADOHOTKA, BYTE)                     \
    FIELD(NETO, Dec<11,2>)                        \
    KEY(KEYOZNAKA, UNIQUE, OZNAKA)                \
    KEY(KEYISPLATA, DUPLICATE, ISPLATA)           \
    KEY(KEYDJELATNIK, DUPLICATE, DJELATNIK)       \
    KEY(KEYVRSTADOHOTKA, DUPLICATE, VRSTADOHOTKA) \
    KEY(KEYREDNIBROJ, DUPLICATE, REDNIBROJ)

// OBRACUN: calculation lines of an income line.
#define MAREL_OBRACUN(FIELD, KEY)             \
    FIELD(DOHODAK, LONG)                      \
    FIELD(POZICIJA, USHORT)                   \
    FIELD(IZNOS, Dec<11,2>)                   \
    KEY(KEYDOHODAK, DUPLICATE, DOHODAK)       \
    KEY(KEYPOZICIJA, DUPLICATE, POZICIJA)     \
    KEY(KEYDOHPOZ, UNIQUE, DOHODAK, POZICIJA)

// SVASTA: numbered extra values of an income line.
#define MAREL_SVASTA(FIELD, KEY)           \
    FIELD(DOHODAK, LONG)                   \
    FIELD(BROJ, BYTE)                      \
    FIELD(VRISHORT, SHORT)                 \
    FIELD(VRITEKST, String<20>)            \
    KEY(KEYDOHODAK, DUPLICATE, DOHODAK)    \
    KEY(KEYDOHBROJ, UNIQUE, DOHODAK, BROJ)

// JOPO: JOPPD forms produced from a payment.
#define MAREL_JOPO(FIELD, KEY)               \
    FIELD(OZNAKA, LONG)                      \
    FIELD(ISPLATA, LONG)                     \
    FIELD(RBR, BYTE)                         \
    FIELD(IMEAUTORA, String<30>)             \
    FIELD(PREZIMEAUTORA, String<30>)         \
    FIELD(EMAIL, String<50>)                 \
    FIELD(UJED, String<36>)                  \
    FIELD(DATOTEKA, String<128>)             \
    KEY(KEYOZNAKA, UNIQUE, OZNAKA)           \
    KEY(KEYDATOTEKA, DUPLICATE, DATOTEKA)    \
    KEY(KEYJEDINSTVO, UNIQUE, -ISPLATA, RBR) \
    KEY(KEYISPLATA, DUPLICATE, -ISPLATA)     \
    KEY(KEYUJED, UNIQUE, UJED)

// ID1: ID-1 forms.
#define MAREL_ID1(FIELD, KEY)                       \
    FIELD(OZNAKA, LONG)                             \
    FIELD(ISPLATITELJ, LONG)                        \
    FIELD(STORNO, String<5>)                        \
    FIELD(GODINA, String<4>)                        \
    FIELD(KONIME, String<20>)                       \
    FIELD(KONPREZIME, String<25>)                   \
    FIELD(KONPOZ1, USHORT)                          \
    FIELD(KONTEL1, String<10>)                      \
    FIELD(KONPOZ2, USHORT)                          \
    FIELD(KONTEL2, String<10>)                      \
    FIELD(KONEMAIL, String<40>)                     \
    KEY(KEYOZNAKA, UNIQUE, OZNAKA)                  \
    KEY(KEYISPLATITELJ, DUPLICATE, ISPLATITELJ)     \
    KEY(KEYISPGOD, DUPLICATE, -GODINA, ISPLATITELJ)

// KRIPOREZ: crisis-tax records (one payer's month).
#define MAREL_KRIPOREZ(FIELD, KEY)                        \
    FIELD(OZNAKA, LONG)                                   \
    FIELD(ISPLATITELJ, LONG)                              \
    FIELD(GODINA, String<4>)                              \
    FIELD(MJESEC, BYTE)                                   \
    FIELD(BILJESKE, Memo<2000>)                           \
    KEY(KEYOZNAKA, UNIQUE, OZNAKA)                        \
    KEY(KEYGLAVNI, UNIQUE, -GODINA, -MJESEC, ISPLATITELJ) \
    KEY(KEYISPLATITELJ, DUPLICATE, ISPLATITELJ)

// DETKRIP: detail rows of a crisis-tax record.
#define MAREL_DETKRIP(FIELD, KEY)           \
    FIELD(KRIPOREZ, LONG)                   \
    FIELD(VRSTA, BYTE)                      \
    FIELD(BROJ, SHORT)                      \
    FIELD(OSNOVICA, Dec<11,2>)              \
    FIELD(IZNOS, Dec<11,2>)                 \
    KEY(KEYKRIPOREZ, DUPLICATE, KRIPOREZ)   \
    KEY(KEYGLAVNI, UNIQUE, KRIPOREZ, VRSTA)

// VRSTEDOH: income types with their rates.
#define MAREL_VRSTEDOH(FIELD, KEY)          \
    FIELD(OZNAKA, BYTE)                     \
    FIELD(NAZIV, String<50>)                \
    FIELD(NEOPOREZIVIDIO, Dec<5,2>)         \
    FIELD(POREZNASTOPA, Dec<5,2>)           \
    FIELD(RNPOREZ, String<4>)               \
    FIELD(TIPPOREZ, String<1>)              \
    FIELD(VISESTOPA, String<2>)             \
    FIELD(PRIZNATITROSKOVI, Dec<5,2>)       \
    FIELD(MIROVINSKOISTUP, Dec<5,2>)        \
    FIELD(RNMOI, String<4>)                 \
    FIELD(TIPMOI, String<1>)                \
    FIELD(MIROVINSKOIISTUP, Dec<5,2>)       \
    FIELD(RNMOII, String<4>)                \
    FIELD(TIPMOII, String<1>)               \
    FIELD(ZDRAVSTVENOOSIGURANJE, Dec<5,2>)  \
    FIELD(RNZO, String<4>)                  \
    FIELD(TIPZO, String<1>)                 \
    FIELD(ZAPOSLJAVANJE, Dec<5,2>)          \
    FIELD(OSOBNIODBITAK, Dec<7,2>)          \
    FIELD(OSNOVAOBRACUNA, String<20>)       \
    FIELD(STUPACIDD, BYTE)                  \
    FIELD(REZSTRINGA, String<2>)            \
    FIELD(REZSTRINGB, String<15>)           \
    FIELD(REZDECIMALA, Dec<9,2>)            \
    FIELD(REZDECIMALB, Dec<7,2>)            \
    FIELD(REZDECIMALC, Dec<7,2>)            \
    KEY(KEYOZNAKA, UNIQUE, OZNAKA)          \
    KEY(KEYSTUPACIDD, DUPLICATE, STUPACIDD)

// POZICIJE: calculation positions.
#define MAREL_POZICIJE(FIELD, KEY) \
    FIELD(OZNAKA, USHORT)          \
    FIELD(NAZIV, String<20>)       \
    FIELD(UPLATNIRN, String<4>)    \
    KEY(KEYOZNAKA, UNIQUE, OZNAKA)

// PORSTOPE: income-tax brackets.
#define MAREL_PORSTOPE(FIELD, KEY) \
    FIELD(OZNAKA, USHORT)          \
    FIELD(STOPA, Dec<5,2>)         \
    FIELD(OSNOVICA, Dec<9,2>)      \
    KEY(KEYOZNAKA, UNIQUE, OZNAKA)

// NEOPOREZ: codes of non-taxable receipts.
#define MAREL_NEOPOREZ(FIELD, KEY)        \
    FIELD(OZNAKA, SHORT)                  \
    FIELD(SHIFRA, SHORT)                  \
    FIELD(NAZIV, String<500>)             \
    FIELD(KONTROLA, String<20>)           \
    KEY(KEYOZNAKA, UNIQUE, OZNAKA)        \
    KEY(KEYSHIFRA, UNIQUE, SHIFRA)        \
    KEY(KEYKONTROLA, DUPLICATE, KONTROLA)

// VBRAT: receipt marks for the JOPPD form.
#define MAREL_VBRAT(FIELD, KEY)         \
    FIELD(OZNAKA, LONG)                 \
    FIELD(NAZIV, String<500>)           \
    FIELD(SHIFRA, String<10>)           \
    FIELD(REZERVA, String<20>)          \
    KEY(KEYOZNAKA, UNIQUE, OZNAKA)      \
    KEY(KEYREZERVA, DUPLICATE, REZERVA) \
    KEY(KEYSHIFRA, UNIQUE, SHIFRA)

// JOPOZIJE: text rows of the printed JOPPD form.
#define MAREL_JOPOZIJE(FIELD, KEY)              \
    FIELD(OZNAKA, SHORT)                        \
    FIELD(GRUPA, BYTE)                          \
    FIELD(REDNIBROJ, SHORT)                     \
    FIELD(BRTEKST, String<20>)                  \
    FIELD(TEKST1, String<200>)                  \
    FIELD(TEKST2, String<200>)                  \
    FIELD(POZICIJA, USHORT)                     \
    FIELD(VRSTA, String<1>)                     \
    KEY(KEYOZNAKA, UNIQUE, OZNAKA)              \
    KEY(KEYREDNIBROJ, UNIQUE, GRUPA, REDNIBROJ)

// PARAM: printer offsets per printed form.
#define MAREL_PARAM(FIELD, KEY)       \
    FIELD(OZNAKA, USHORT)             \
    FIELD(XPOS, SHORT)                \
    FIELD(YPOS, SHORT)                \
    FIELD(MODELPRINTERA, String<100>) \
    FIELD(OZNAKAPAPIRA, String<6>)    \
    FIELD(DUZINA, SHORT)              \
    FIELD(SIRINA, SHORT)              \
    KEY(KEYOZNAKA, UNIQUE, OZNAKA)

// Every file: label, class, the documented fixed record width (memos
// excluded), whether the update form numbers new records (AUTO) or the user
// gives the number (GIVEN), and the prefix that names the record when it is
// not the label.
#define MAREL_DATA_FILES(X)                     \
    X(OSOBE, OsobeFile, 217, AUTO, OSO)         \
    X(SUBJEKTI, SubjektiFile, 186, AUTO, SUB)   \
    X(OPCINE, OpcineFile, 133, AUTO, OPC)       \
    X(MJESTA, MjestaFile, 39, AUTO, MJE)        \
    X(ULICE, UliceFile, 29, AUTO, ULI)          \
    X(BANKE, BankeFile, 49, AUTO, BAN)          \
    X(UPLATNIRN, UplatnirnFile, 19, GIVEN, UPL) \
    X(ISPLATE, IsplateFile, 21, AUTO, ISP)      \
    X(DOHOCI, DohociFile, 21, AUTO, DOH)        \
    X(OBRACUN, ObracunFile, 12, GIVEN, OBR)     \
    X(SVASTA, SvastaFile, 27, GIVEN, SVA)       \
    X(JOPO, JopoFile, 283, AUTO)                \
    X(ID1, Id1File, 126, AUTO)                  \
    X(KRIPOREZ, KriporezFile, 13, AUTO, KRP)    \
    X(DETKRIP, DetkripFile, 19, GIVEN, DKP)     \
    X(VRSTEDOH, VrstedohFile, 149, AUTO, VRS)   \
    X(POZICIJE, PozicijeFile, 26, GIVEN, POZ)   \
    X(PORSTOPE, PorstopeFile, 10, GIVEN, POR)   \
    X(NEOPOREZ, NeoporezFile, 524, GIVEN, NEO)  \
    X(VBRAT, VbratFile, 534, GIVEN, VBR)        \
    X(JOPOZIJE, JopozijeFile, 428, GIVEN, JOP)  \
    X(PARAM, ParamFile, 116, AUTO, PAR)

#define MAREL_RECORD_MEMBER(NAME, ...) __VA_ARGS__ NAME{};
#define MAREL_KEY_NUMBER(NAME, ...) NAME##_NUMBER,
#define MAREL_KEY_MEMBER(NAME, ...) Key NAME{this, NAME##_NUMBER};
#define MAREL_NOTHING(...)
#define MAREL_DECLARE_DATA_FILE(LABEL, CLASS, BYTES, NUMBERING, ...)                      \
    struct LABEL##_REC {                                                                  \
        MAREL_##LABEL(MAREL_RECORD_MEMBER, MAREL_NOTHING)                                 \
    };                                                                                    \
    class CLASS : public LABEL##_REC, public DataFile {                                   \
        enum KeyNumber : int { MAREL_##LABEL(MAREL_NOTHING, MAREL_KEY_NUMBER) };          \
                                                                                          \
    public:                                                                               \
        using Record = LABEL##_REC;                                                       \
        static const Layout& LAYOUT();                                                    \
        explicit CLASS(Store& store = Store::main());                                     \
        MAREL_##LABEL(MAREL_NOTHING, MAREL_KEY_MEMBER)                                    \
        Record& record() { return *this; }                                                \
    };                                                                                    \
    extern CLASS LABEL;                                                                   \
    __VA_OPT__(extern LABEL##_REC& __VA_ARGS__;)

MAREL_DATA_FILES(MAREL_DECLARE_DATA_FILE)

// Every layout, in the order of MAREL_DATA_FILES.
const std::vector<const Layout*>& allLayouts();
const Layout* findLayout(std::string_view label);
// The program's global file objects, in the same order.
const std::vector<DataFile*>& allFiles();

}  // namespace marel
