// Encrypted workbooks: the FILEPASS record, the passwords and the decrypted
// record bodies.
#include <gtest/gtest.h>

#include <stdexcept>

#include "fixtures/BiffEncrypt.h"
#include "fixtures/WorkbookBuilder.h"
#include "model/Workbook.h"

namespace {

// A workbook of several blocks whose records straddle block boundaries:
// styles, a shared string table, cells of every kind, a formula.
std::vector<uint8_t> TwinStream()
{
    TWorkbookBuilder book;
    book.Font().Font({.Weight = 700}).Format(164, u"0.000").XF().XF({.Font = 1, .FormatCode = 164}).XF({.FormatCode = 14});
    std::vector<std::u16string> strings;
    for (int i = 0; i < 300; ++i) strings.push_back(u"shared string number " + std::u16string(size_t(i % 7 + 1), u'x'));
    strings.push_back(u"\u0416\u0417\u0418");
    book.SharedStrings(strings);
    TSheetBuilder& sheet = book.Sheet(u"Data");
    for (uint16_t row = 0; row < 120; ++row) {
        sheet.Number(row, 0, row * 1.25, 1).LabelSst(row, 1, row * 2u % 301).Rk(row, 2, 0x00000192, 2);
        sheet.Label(row, 3, u"label text of row " + std::u16string(size_t(row % 5 + 1), u'y'));
    }
    sheet.Formula(200, 0, SpecialResult(0), {0x1E, 1, 0, 0x1E, 2, 0, 0x03}).String(u"three");
    book.Sheet(u"Second").BoolErr(0, 0, 1, false);
    return book.Stream();
}

void ExpectSameWorkbook(const TWorkbook& a, const TWorkbook& b)
{
    ASSERT_EQ(a.Sheets().Count(), b.Sheets().Count());
    EXPECT_EQ(a.FormatStrings().Count(), b.FormatStrings().Count());
    EXPECT_EQ(a.FontTable().Count(), b.FontTable().Count());
    ASSERT_EQ(a.XFTable().Count(), b.XFTable().Count());
    for (int i = 0; i < a.XFTable().Count(); ++i) EXPECT_EQ(a.XFTable().Table().Get(i), b.XFTable().Table().Get(i));
    for (int s = 0; s < a.Sheets().Count(); ++s) {
        const TCells& ca = a.Sheets().Items(s)->Cells();
        const TCells& cb = b.Sheets().Items(s)->Cells();
        EXPECT_EQ(a.Sheets().Items(s)->Name(), b.Sheets().Items(s)->Name());
        ASSERT_EQ(ca.Count(), cb.Count());
        for (int i = 0; i < ca.Count(); ++i) {
            const TCell& x = *ca.Items(i);
            const TCell& y = *cb.Items(i);
            EXPECT_EQ(x.Row(), y.Row());
            EXPECT_EQ(x.Col(), y.Col());
            EXPECT_EQ(x.Value(), y.Value()) << "cell " << x.Row() << "," << x.Col();
            EXPECT_EQ(x.XFIndex(), y.XFIndex());
            EXPECT_EQ(x.Formula(), y.Formula());
        }
    }
}

std::string OpenMessage(const std::vector<uint8_t>& stream, const std::u16string& password = u"")
{
    try {
        OpenXlsStream(stream, password);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "<opened>";
}

} // namespace

TEST(ReaderProtect, DefaultPasswordWorkbookReadsLikeItsUnencryptedTwin)
{
    const std::vector<uint8_t> plain = TwinStream();
    ASSERT_GT(plain.size(), 4 * 1024u);
    auto expected = OpenXlsStream(plain);
    for (bool clearRecordsClear : {true, false}) {
        TEncryptOptions options;
        options.KeepClearRecordsClear = clearRecordsClear;
        auto file = OpenXlsStream(EncryptWorkbookStream(plain, options));
        EXPECT_TRUE(file->Loaded());
        ExpectSameWorkbook(file->Workbook(), expected->Workbook());
    }
    const TCells& cells = expected->Workbook().Sheets().Items(0)->Cells();
    EXPECT_EQ(cells.FindCell(200, 0)->Value(), TVariant::String("three"));
    EXPECT_EQ(cells.FindCell(200, 0)->Formula(), "1+2");
}

TEST(ReaderProtect, OpeningPasswordIsNeeded)
{
    const std::vector<uint8_t> plain = TwinStream();
    TEncryptOptions options;
    options.Password = u"s3cret-\u00E4\u0416";
    const std::vector<uint8_t> encrypted = EncryptWorkbookStream(plain, options);
    EXPECT_EQ(OpenMessage(encrypted), "Error: file is protected, and password is invalid!");
    EXPECT_EQ(OpenMessage(encrypted, u"wrong"), "Error: file is protected, and password is invalid!");
    auto file = OpenXlsStream(encrypted, options.Password);
    ExpectSameWorkbook(file->Workbook(), OpenXlsStream(plain)->Workbook());
}

TEST(ReaderProtect, EmptyPasswordIsAPassword)
{
    TEncryptOptions options;
    options.Password = u"";
    auto file = OpenXlsStream(EncryptWorkbookStream(TwinStream(), options));
    EXPECT_EQ(file->Workbook().Sheets().Count(), 2);
}

TEST(ReaderProtect, RefusedSchemesAndPasswords)
{
    const std::vector<uint8_t> plain = TwinStream();
    EXPECT_EQ(OpenMessage(EncryptWorkbookStream(plain), u"sixteen-letters!"),
              "File protection password must have 0-15 characters.");
    EXPECT_EQ(OpenMessage(EncryptWorkbookStream(plain), u"fifteen-letters"), "<opened>"); // the default password then

    TEncryptOptions xorObfuscation;
    xorObfuscation.EncryptionType = 0;
    EXPECT_EQ(OpenMessage(EncryptWorkbookStream(plain, xorObfuscation)),
              "Error: data is protected, and this encryption type not supported.");

    TEncryptOptions cryptoApi;
    cryptoApi.MinorVersion = 2;
    EXPECT_EQ(OpenMessage(EncryptWorkbookStream(plain, cryptoApi)), "Error: strong encryption not supported.");
}
