#pragma once
// Record layouts of every data file, with their keys.
//
// Each file is an object named by its label (`OSOBE`); it is also its own record
// buffer, reached through the prefix (`OSO.OIB`), and it holds its keys as members
// (`OSOBE.KEYOIB`). The global objects live on the program's database; tests and
// a second station make their own objects on another connection.
#include "store/DataFile.h"

namespace marel {

// OSOBE: recipients.
struct OSOBE_REC {
    LONG OZNAKA{};
    String<20> IME;
    String<25> PREZIME;
    String<13> JMBG;
    String<11> OIB;
    LONG MJESTO{};
    LONG ULICA{};
    String<5> KUCNIBROJ;
    USHORT BANKA{};
    String<4> RKONT;
    String<10> RACUN;
    String<2> MODEL;
    String<20> RACUNPOZIV;
    String<15> KUCNITELEFON;
    String<15> TELEFONNAPOSLU;
    String<15> FAX;
    String<40> EMAIL;
    String<2> DRUGISTUP;
    Dec<5,2> FAKTORODBITKA;
    String<3> STATUS;
};
class OsobeFile : public OSOBE_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit OsobeFile(Store& store = Store::main());
    Key KEYOZNAKA{this, 0};
    Key KEYOIB{this, 1};
    Key KEYPREZIMEIME{this, 2};
    Key KEYBANKA{this, 3};
    Key KEYMJESTO{this, 4};
    Key KEYULICA{this, 5};
    OSOBE_REC& record() { return *this; }
};
extern OsobeFile OSOBE;
extern OSOBE_REC& OSO;

// SUBJEKTI: payers.
struct SUBJEKTI_REC {
    LONG OZNAKA{};
    String<1> TIP;
    String<40> NAZIV;
    String<13> POREZNIBROJ;
    String<11> OIB;
    LONG MJESTO{};
    LONG ULICA{};
    String<5> KUCNIBROJ;
    USHORT BANKA{};
    String<4> RKONT;
    String<10> RACUN;
    String<15> TELEFON;
    String<15> MOBITEL;
    String<15> FAX;
    String<40> EMAIL;
    String<3> STATUS;
};
class SubjektiFile : public SUBJEKTI_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit SubjektiFile(Store& store = Store::main());
    Key KEYOZNAKA{this, 0};
    Key KEYNAZIV{this, 1};
    Key KEYMJESTO{this, 2};
    Key KEYULICA{this, 3};
    Key KEYBANKA{this, 4};
    Key KEYPOREZNIBROJ{this, 5};
    Key KEYOIB{this, 6};
    SUBJEKTI_REC& record() { return *this; }
};
extern SubjektiFile SUBJEKTI;
extern SUBJEKTI_REC& SUB;

// OPCINE: municipalities.
struct OPCINE_REC {
    LONG OZNAKA{};
    String<4> SHIFRA;
    String<25> NAZIV;
    String<4> RKONT;
    String<10> RACUNPOREZ;
    Dec<7,2> STOPAPRIREZA;
    String<10> RACUN1;
    String<10> RACUN2;
    String<10> RACUN3;
    String<10> RACUN4;
    String<10> RACUN5;
    String<20> STRING1;
    Dec<7,2> DECIMAL1;
    Dec<7,2> DECIMAL2;
    USHORT PARENT1{};
    USHORT PARENT2{};
};
class OpcineFile : public OPCINE_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit OpcineFile(Store& store = Store::main());
    Key KEYOZNAKA{this, 0};
    Key KEYNAZIV{this, 1};
    Key KEYPARENT1{this, 2};
    Key KEYPARENT2{this, 3};
    OPCINE_REC& record() { return *this; }
};
extern OpcineFile OPCINE;
extern OPCINE_REC& OPC;

// MJESTA: places.
struct MJESTA_REC {
    LONG OZNAKA{};
    String<25> NAZIV;
    LONG OPCINA{};
    String<6> POSTBROJ;
};
class MjestaFile : public MJESTA_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit MjestaFile(Store& store = Store::main());
    Key KEYOZNAKA{this, 0};
    Key KEYNAZIV{this, 1};
    Key KEYOPCINA{this, 2};
    MJESTA_REC& record() { return *this; }
};
extern MjestaFile MJESTA;
extern MJESTA_REC& MJE;

// ULICE: streets.
struct ULICE_REC {
    LONG OZNAKA{};
    String<25> NAZIV;
};
class UliceFile : public ULICE_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit UliceFile(Store& store = Store::main());
    Key KEYOZNAKA{this, 0};
    Key KEYNAZIV{this, 1};
    ULICE_REC& record() { return *this; }
};
extern UliceFile ULICE;
extern ULICE_REC& ULI;

// BANKE: banks.
struct BANKE_REC {
    USHORT OZNAKA{};
    String<40> NAZIV;
    String<7> VODECIBROJ;
};
class BankeFile : public BANKE_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit BankeFile(Store& store = Store::main());
    Key KEYOZNAKA{this, 0};
    Key KEYNAZIV{this, 1};
    BANKE_REC& record() { return *this; }
};
extern BankeFile BANKE;
extern BANKE_REC& BAN;

// UPLATNIRN: public-revenue payment accounts of a municipality.
struct UPLATNIRN_REC {
    LONG OZNAKA{};
    LONG OPCINA{};
    BYTE JAVNIPRIHOD{};
    String<10> RACUN;
};
class UplatnirnFile : public UPLATNIRN_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit UplatnirnFile(Store& store = Store::main());
    Key KEYOZNAKA{this, 0};
    Key KEYJAVOPC{this, 1};
    Key KEYJAVNIPRIHOD{this, 2};
    Key KEYOPCINA{this, 3};
    UPLATNIRN_REC& record() { return *this; }
};
extern UplatnirnFile UPLATNIRN;
extern UPLATNIRN_REC& UPL;

// ISPLATE: payments.
struct ISPLATE_REC {
    LONG OZNAKA{};
    LONG ISPLATITELJ{};
    String<5> RSID;
    Date DATUM;
    String<4> GODINA;
    Memo<1000> BILJESKE;
};
class IsplateFile : public ISPLATE_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit IsplateFile(Store& store = Store::main());
    Key KEYOZNAKA{this, 0};
    Key KEYISPLATITELJ{this, 1};
    Key KEYDATUM{this, 2};
    Key KEYRSID{this, 3};
    Key KEYGODINA{this, 4};
    Key KEYRSIDISPLATITELJ{this, 5};
    ISPLATE_REC& record() { return *this; }
};
extern IsplateFile ISPLATE;
extern ISPLATE_REC& ISP;

// DOHOCI: income lines.
struct DOHOCI_REC {
    LONG OZNAKA{};
    USHORT REDNIBROJ{};
    LONG ISPLATA{};
    LONG DJELATNIK{};
    BYTE VRSTADOHOTKA{};
    Dec<11,2> NETO;
};
class DohociFile : public DOHOCI_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit DohociFile(Store& store = Store::main());
    Key KEYOZNAKA{this, 0};
    Key KEYISPLATA{this, 1};
    Key KEYDJELATNIK{this, 2};
    Key KEYVRSTADOHOTKA{this, 3};
    Key KEYREDNIBROJ{this, 4};
    DOHOCI_REC& record() { return *this; }
};
extern DohociFile DOHOCI;
extern DOHOCI_REC& DOH;

// OBRACUN: calculation lines of an income line.
struct OBRACUN_REC {
    LONG DOHODAK{};
    USHORT POZICIJA{};
    Dec<11,2> IZNOS;
};
class ObracunFile : public OBRACUN_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit ObracunFile(Store& store = Store::main());
    Key KEYDOHODAK{this, 0};
    Key KEYPOZICIJA{this, 1};
    Key KEYDOHPOZ{this, 2};
    OBRACUN_REC& record() { return *this; }
};
extern ObracunFile OBRACUN;
extern OBRACUN_REC& OBR;

// SVASTA: numbered extra values of an income line.
struct SVASTA_REC {
    LONG DOHODAK{};
    BYTE BROJ{};
    SHORT VRISHORT{};
    String<20> VRITEKST;
};
class SvastaFile : public SVASTA_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit SvastaFile(Store& store = Store::main());
    Key KEYDOHODAK{this, 0};
    Key KEYDOHBROJ{this, 1};
    SVASTA_REC& record() { return *this; }
};
extern SvastaFile SVASTA;
extern SVASTA_REC& SVA;

// JOPO: JOPPD forms produced from a payment.
struct JOPO_REC {
    LONG OZNAKA{};
    LONG ISPLATA{};
    BYTE RBR{};
    String<30> IMEAUTORA;
    String<30> PREZIMEAUTORA;
    String<50> EMAIL;
    String<36> UJED;
    String<128> DATOTEKA;
};
class JopoFile : public JOPO_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit JopoFile(Store& store = Store::main());
    Key KEYOZNAKA{this, 0};
    Key KEYDATOTEKA{this, 1};
    Key KEYJEDINSTVO{this, 2};
    Key KEYISPLATA{this, 3};
    Key KEYUJED{this, 4};
    JOPO_REC& record() { return *this; }
};
extern JopoFile JOPO;

// ID1: ID-1 forms.
struct ID1_REC {
    LONG OZNAKA{};
    LONG ISPLATITELJ{};
    String<5> STORNO;
    String<4> GODINA;
    String<20> KONIME;
    String<25> KONPREZIME;
    USHORT KONPOZ1{};
    String<10> KONTEL1;
    USHORT KONPOZ2{};
    String<10> KONTEL2;
    String<40> KONEMAIL;
};
class Id1File : public ID1_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit Id1File(Store& store = Store::main());
    Key KEYOZNAKA{this, 0};
    Key KEYISPLATITELJ{this, 1};
    Key KEYISPGOD{this, 2};
    ID1_REC& record() { return *this; }
};
extern Id1File ID1;

// KRIPOREZ: crisis-tax records (one payer's month).
struct KRIPOREZ_REC {
    LONG OZNAKA{};
    LONG ISPLATITELJ{};
    String<4> GODINA;
    BYTE MJESEC{};
    Memo<2000> BILJESKE;
};
class KriporezFile : public KRIPOREZ_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit KriporezFile(Store& store = Store::main());
    Key KEYOZNAKA{this, 0};
    Key KEYGLAVNI{this, 1};
    Key KEYISPLATITELJ{this, 2};
    KRIPOREZ_REC& record() { return *this; }
};
extern KriporezFile KRIPOREZ;
extern KRIPOREZ_REC& KRP;

// DETKRIP: detail rows of a crisis-tax record.
struct DETKRIP_REC {
    LONG KRIPOREZ{};
    BYTE VRSTA{};
    SHORT BROJ{};
    Dec<11,2> OSNOVICA;
    Dec<11,2> IZNOS;
};
class DetkripFile : public DETKRIP_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit DetkripFile(Store& store = Store::main());
    Key KEYKRIPOREZ{this, 0};
    Key KEYGLAVNI{this, 1};
    DETKRIP_REC& record() { return *this; }
};
extern DetkripFile DETKRIP;
extern DETKRIP_REC& DKP;

// VRSTEDOH: income types with their rates.
struct VRSTEDOH_REC {
    BYTE OZNAKA{};
    String<50> NAZIV;
    Dec<5,2> NEOPOREZIVIDIO;
    Dec<5,2> POREZNASTOPA;
    String<4> RNPOREZ;
    String<1> TIPPOREZ;
    String<2> VISESTOPA;
    Dec<5,2> PRIZNATITROSKOVI;
    Dec<5,2> MIROVINSKOISTUP;
    String<4> RNMOI;
    String<1> TIPMOI;
    Dec<5,2> MIROVINSKOIISTUP;
    String<4> RNMOII;
    String<1> TIPMOII;
    Dec<5,2> ZDRAVSTVENOOSIGURANJE;
    String<4> RNZO;
    String<1> TIPZO;
    Dec<5,2> ZAPOSLJAVANJE;
    Dec<7,2> OSOBNIODBITAK;
    String<20> OSNOVAOBRACUNA;
    BYTE STUPACIDD{};
    String<2> REZSTRINGA;
    String<15> REZSTRINGB;
    Dec<9,2> REZDECIMALA;
    Dec<7,2> REZDECIMALB;
    Dec<7,2> REZDECIMALC;
};
class VrstedohFile : public VRSTEDOH_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit VrstedohFile(Store& store = Store::main());
    Key KEYOZNAKA{this, 0};
    Key KEYSTUPACIDD{this, 1};
    VRSTEDOH_REC& record() { return *this; }
};
extern VrstedohFile VRSTEDOH;
extern VRSTEDOH_REC& VRS;

// POZICIJE: calculation positions.
struct POZICIJE_REC {
    USHORT OZNAKA{};
    String<20> NAZIV;
    String<4> UPLATNIRN;
};
class PozicijeFile : public POZICIJE_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit PozicijeFile(Store& store = Store::main());
    Key KEYOZNAKA{this, 0};
    POZICIJE_REC& record() { return *this; }
};
extern PozicijeFile POZICIJE;
extern POZICIJE_REC& POZ;

// PORSTOPE: income-tax brackets.
struct PORSTOPE_REC {
    USHORT OZNAKA{};
    Dec<5,2> STOPA;
    Dec<9,2> OSNOVICA;
};
class PorstopeFile : public PORSTOPE_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit PorstopeFile(Store& store = Store::main());
    Key KEYOZNAKA{this, 0};
    PORSTOPE_REC& record() { return *this; }
};
extern PorstopeFile PORSTOPE;
extern PORSTOPE_REC& POR;

// NEOPOREZ: codes of non-taxable receipts.
struct NEOPOREZ_REC {
    SHORT OZNAKA{};
    SHORT SHIFRA{};
    String<500> NAZIV;
    String<20> KONTROLA;
};
class NeoporezFile : public NEOPOREZ_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit NeoporezFile(Store& store = Store::main());
    Key KEYOZNAKA{this, 0};
    Key KEYSHIFRA{this, 1};
    Key KEYKONTROLA{this, 2};
    NEOPOREZ_REC& record() { return *this; }
};
extern NeoporezFile NEOPOREZ;
extern NEOPOREZ_REC& NEO;

// VBRAT: receipt marks for the JOPPD form.
struct VBRAT_REC {
    LONG OZNAKA{};
    String<500> NAZIV;
    String<10> SHIFRA;
    String<20> REZERVA;
};
class VbratFile : public VBRAT_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit VbratFile(Store& store = Store::main());
    Key KEYOZNAKA{this, 0};
    Key KEYREZERVA{this, 1};
    Key KEYSHIFRA{this, 2};
    VBRAT_REC& record() { return *this; }
};
extern VbratFile VBRAT;
extern VBRAT_REC& VBR;

// JOPOZIJE: text rows of the printed JOPPD form.
struct JOPOZIJE_REC {
    SHORT OZNAKA{};
    BYTE GRUPA{};
    SHORT REDNIBROJ{};
    String<20> BRTEKST;
    String<200> TEKST1;
    String<200> TEKST2;
    USHORT POZICIJA{};
    String<1> VRSTA;
};
class JopozijeFile : public JOPOZIJE_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit JopozijeFile(Store& store = Store::main());
    Key KEYOZNAKA{this, 0};
    Key KEYREDNIBROJ{this, 1};
    JOPOZIJE_REC& record() { return *this; }
};
extern JopozijeFile JOPOZIJE;
extern JOPOZIJE_REC& JOP;

// PARAM: printer offsets per printed form.
struct PARAM_REC {
    USHORT OZNAKA{};
    SHORT XPOS{};
    SHORT YPOS{};
    String<100> MODELPRINTERA;
    String<6> OZNAKAPAPIRA;
    SHORT DUZINA{};
    SHORT SIRINA{};
};
class ParamFile : public PARAM_REC, public DataFile {
public:
    static const Layout& LAYOUT();
    explicit ParamFile(Store& store = Store::main());
    Key KEYOZNAKA{this, 0};
    PARAM_REC& record() { return *this; }
};
extern ParamFile PARAM;
extern PARAM_REC& PAR;

// Every layout, in the order above.
const std::vector<const Layout*>& allLayouts();
const Layout* findLayout(std::string_view label);
// The program's global file objects, in the same order.
const std::vector<DataFile*>& allFiles();

}  // namespace marel
