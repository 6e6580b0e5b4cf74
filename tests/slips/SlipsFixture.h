#pragma once
// The JOPPD data folder with what slips need besides: banks and accounts of
// the payer and the recipients, the municipalities' tax accounts, postcodes.
#include "joppd/JoppdFixture.h"

namespace marel::test {

// Author's fee with only pension pillar I due.
inline const Amounts kPillarIOnly = {
    {POZ_BRUTO, "1000.00"}, {POZ_NEOPOREZIVIDIO, "0.00"}, {POZ_PRIZNATITROSKOVI, "0.00"},
    {POZ_OSNOVICA, "1000.00"}, {POZ_MIROVINSKOISTUP, "150.00"}, {POZ_MIROVINSKOIISTUP, "0.00"},
    {POZ_DOHODAK, "850.00"}, {POZ_POREZ, "100.00"}, {POZ_PRIREZ, "18.00"},
    {POZ_NETO, "732.00"}, {POZ_ZDRAVSTVENO, "0.00"}, {POZ_OSOBNIODBITAK, "0.00"},
};

class SlipsFixture : public JoppdFixture {
protected:
    void SetUp() override {
        JoppdFixture::SetUp();
        openFiles({&BANKE, &PARAM});
        BANKE.clear();
        BAN.OZNAKA = 1;
        BAN.NAZIV = "Zagrebačka banka d.d.";
        BAN.VODECIBROJ = "2360000";
        ASSERT_EQ(BANKE.add(), 0);
        BANKE.clear();
        BAN.OZNAKA = 2;
        BAN.NAZIV = "Hrvatska poštanska banka d.d.";
        BAN.VODECIBROJ = "2390001";
        ASSERT_EQ(BANKE.add(), 0);

        SUB.OZNAKA = 1;
        ASSERT_EQ(SUBJEKTI.get(SUBJEKTI.KEYOZNAKA), 0);
        SUB.BANKA = 1;
        SUB.RKONT = "HR17";
        SUB.RACUN = "1101234565";
        ASSERT_EQ(SUBJEKTI.put(), 0);

        MJE.OZNAKA = 1;
        ASSERT_EQ(MJESTA.get(MJESTA.KEYOZNAKA), 0);
        MJE.POSTBROJ = "10000";
        ASSERT_EQ(MJESTA.put(), 0);

        // Zagreb's tax account is HR18 1001005 1712312007.
        OPC.OZNAKA = 1;
        ASSERT_EQ(OPCINE.get(OPCINE.KEYOZNAKA), 0);
        OPC.RKONT = "HR18";
        OPC.RACUNPOREZ = "1712312007";
        ASSERT_EQ(OPCINE.put(), 0);

        // Ivana banks with the payer's bank; Đuro has no account at all.
        street(2, "Ilica");
        OSO.OZNAKA = 1;
        ASSERT_EQ(OSOBE.get(OSOBE.KEYOZNAKA), 0);
        OSO.ULICA = 2;
        OSO.KUCNIBROJ = "3";
        OSO.BANKA = 1;
        OSO.RKONT = "HR22";
        OSO.RACUN = "3200000001";
        OSO.MODEL = "01";
        OSO.RACUNPOZIV = "123-45";
        ASSERT_EQ(OSOBE.put(), 0);

        payment(1, Date::fromYmd(2014, 2, 5));  // RS Id 14036
    }
    static constexpr const char* kIvanaIban = "HR2223600003200000001";
    static constexpr const char* kPayerIban = "HR1723600001101234565";
    static constexpr const char* kZagrebTax = "HR1810010051712312007";
};

}  // namespace marel::test
