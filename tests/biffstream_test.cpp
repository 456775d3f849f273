#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "fixtures/BiffEncrypt.h"
#include "fixtures/BiffWriter.h"
#include "reading/BiffStream.h"
#include "reading/CFile.h"
#include "reading/RecordCursor.h"

namespace {

std::vector<uint8_t> Pattern(size_t size, uint8_t seed)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = uint8_t(seed + i * 13 + i / 256);
    return bytes;
}

// A record stream in a compound document, opened and rewound.
struct TRecordSource {
    explicit TRecordSource(const std::vector<uint8_t>& stream, uint32_t sectorSize = 512)
        : File(XlsFileBytes(stream, sectorSize)), Source(dynamic_cast<TCFileStream*>(File.Root->FindItem("Workbook"))),
          Biff(Source)
    {
        Biff.Rewind();
    }
    TCFile File;
    TCFileStream* Source;
    TBIFFStream Biff;
};

struct TRec {
    uint32_t Id;
    std::vector<uint8_t> Body;
    bool operator==(const TRec&) const = default;
};

std::vector<TRec> ReadRecords(TBIFFStream& biff)
{
    std::vector<TRec> records;
    while (biff.NextRecord()) {
        const TEasyStream& data = biff.Record.Data;
        EXPECT_EQ(data.Position(), 0u);
        EXPECT_EQ(data.Size(), biff.Record.Length);
        records.push_back({biff.Record.Id, std::vector<uint8_t>(data.Data(), data.Data() + data.Size())});
    }
    return records;
}

std::vector<uint8_t> StreamOf(const std::vector<TRec>& records)
{
    TBiffWriter writer;
    for (const TRec& r : records) writer.Record(uint16_t(r.Id), r.Body);
    return writer.Bytes();
}

std::string WideBytes(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text) {
        out += char(c & 0xFF);
        out += char(c >> 8);
    }
    return out;
}

} // namespace

TEST(EasyStream, ShortReadsKeepWhatTheyCould)
{
    TEasyStream data;
    data.SetSize(3);
    std::memcpy(data.Data(), "\x34\x12\xAB", 3);
    uint16_t word = 0xFFFF;
    EXPECT_TRUE(data.ReadWord(word));
    EXPECT_EQ(word, 0x1234);
    EXPECT_FALSE(data.ReadWord(word)); // one byte left: it replaces the low byte
    EXPECT_EQ(word, 0x12AB);
    EXPECT_EQ(data.Remaining(), 0u);
    uint8_t byte = 7;
    EXPECT_FALSE(data.ReadByte(byte));
    EXPECT_EQ(byte, 7);

    data.SetPosition(1);
    uint32_t dword = 0;
    EXPECT_FALSE(data.ReadDWord(dword));
    EXPECT_EQ(dword, 0xAB12u);

    data.SetPosition(0);
    std::string text = "keep";
    EXPECT_FALSE(data.ReadBytesAsString(text, 4));
    EXPECT_EQ(text, "keep");
    EXPECT_EQ(data.Position(), 0u);
    EXPECT_TRUE(data.ReadBytesAsString(text, 3));
    EXPECT_EQ(text, "\x34\x12\xAB");

    data.SetPosition(0);
    data.Skip(10);
    EXPECT_EQ(data.Position(), 3u);
    EXPECT_EQ(data.Remaining(), 0u);
}

TEST(EasyStream, DoubleAndBytes)
{
    TBiffBody body;
    body.Double(-2.5).U8(9);
    std::vector<uint8_t> bytes = body.Joined();
    TEasyStream data;
    data.SetSize(bytes.size());
    std::memcpy(data.Data(), bytes.data(), bytes.size());
    double value = 0;
    EXPECT_TRUE(data.ReadDouble(value));
    EXPECT_EQ(value, -2.5);
    uint8_t out[4] = {1, 1, 1, 1};
    EXPECT_FALSE(data.ReadBytes(out, 4));
    EXPECT_EQ(out[0], 9);
    EXPECT_EQ(out[1], 1);
}

// Record layouts that put a header at every byte around the first block
// boundary, with a body that spans several blocks after it.
TEST(BIFFStream, RecordsAcrossBlockBoundaries)
{
    for (size_t first = 1012; first <= 1022; ++first) {
        SCOPED_TRACE(first);
        std::vector<TRec> records = {
            {0x0809, Pattern(first, 1)}, {0x0203, Pattern(14, 2)}, {0x00FC, Pattern(3000, 3)}, {0x0201, {}},
            {0x000A, {}}};
        for (uint32_t sectorSize : {512u, 4096u}) {
            TRecordSource source(StreamOf(records), sectorSize);
            EXPECT_EQ(ReadRecords(source.Biff), records);
        }
    }
}

TEST(BIFFStream, StreamOfWholeBlocksEndsCleanly)
{
    std::vector<TRec> records = {{0x0809, Pattern(1020, 1)}, {0x0203, Pattern(1020, 2)}};
    TRecordSource source(StreamOf(records));
    ASSERT_EQ(source.Source->Size(), 2048u);
    EXPECT_EQ(ReadRecords(source.Biff), records);
    EXPECT_EQ(source.Biff.StreamPosition(), 2048u);
    EXPECT_EQ(source.Biff.StreamSize(), 2048u);
    EXPECT_FALSE(source.Biff.NextRecord());
}

TEST(BIFFStream, ZeroIdEndsTheRecords)
{
    std::vector<TRec> records = {{0x0809, Pattern(16, 1)}, {0x000A, {}}};
    TBiffWriter writer;
    writer.Record(0x0809, records[0].Body).Record(0x000A).PadTo(1024).Record(0x0203, Pattern(8, 3));
    TRecordSource source(writer.Bytes());
    EXPECT_EQ(ReadRecords(source.Biff), records);
}

TEST(BIFFStream, CutOffRecordEndsTheRecords)
{
    // The short last block reads as zeros to its end; a body that runs past it fails.
    TBiffWriter writer;
    writer.Record(0x0203, Pattern(10, 1)).Raw({0xFC, 0x00, 0xD0, 0x07}).Raw(Pattern(500, 2));
    TRecordSource source(writer.Bytes());
    EXPECT_EQ(ReadRecords(source.Biff), (std::vector<TRec> {{0x0203, Pattern(10, 1)}}));
}

TEST(BIFFStream, RewindStartsOver)
{
    std::vector<TRec> records = {{0x0809, Pattern(1500, 1)}, {0x0203, Pattern(900, 2)}};
    TRecordSource source(StreamOf(records));
    EXPECT_EQ(ReadRecords(source.Biff), records);
    source.Biff.Rewind();
    EXPECT_EQ(ReadRecords(source.Biff), records);
}

namespace {

// Reads an encrypted stream the way the FILEPASS handler does: verify the
// password against the FILEPASS fields, then start decrypting.
std::vector<TRec> ReadDecrypting(const std::vector<uint8_t>& stream, const std::u16string& password)
{
    TRecordSource source(stream);
    std::vector<TRec> records;
    while (source.Biff.NextRecord()) {
        const TEasyStream& data = source.Biff.Record.Data;
        records.push_back({source.Biff.Record.Id, std::vector<uint8_t>(data.Data(), data.Data() + data.Size())});
        if (source.Biff.Record.Id == BiffId::FilePass) {
            const uint8_t* body = data.Data();
            TXLSKey key;
            EXPECT_TRUE(Verify(password, body + 6, body + 22, body + 38, key));
            source.Biff.StartDecryption(key);
            EXPECT_TRUE(source.Biff.Decrypting());
        }
    }
    return records;
}

} // namespace

TEST(BIFFStream, DecryptsBodiesAfterFilePass)
{
    // BOF bodies of 8 and 962 bytes: FILEPASS then ends inside block 0 or exactly at its end.
    for (size_t bofSize : {8u, 962u}) {
        for (const std::u16string& password : {DefaultPassword, std::u16string(u"geheim")}) {
            SCOPED_TRACE(bofSize);
            std::vector<TRec> plain = {{0x0809, Pattern(bofSize, 1)}, {0x0031, Pattern(1009, 2)},
                                       {0x0203, Pattern(14, 3)},      {0x00FC, Pattern(4100, 4)},
                                       {0x0201, {}},                  {0x000A, {}}};
            TEncryptOptions options;
            options.Password = password;
            options.KeepClearRecordsClear = false;
            std::vector<uint8_t> encrypted = EncryptWorkbookStream(StreamOf(plain), options);
            std::vector<TRec> read = ReadDecrypting(encrypted, password);
            ASSERT_EQ(read.size(), plain.size() + 1);
            EXPECT_EQ(read[1].Id, BiffId::FilePass);
            EXPECT_EQ(read[1].Body, FilePassBody(options));
            read.erase(read.begin() + 1);
            EXPECT_EQ(read, plain);
        }
    }
}

TEST(BIFFStream, RecordsTheStandardKeepsClearAreLeftClearByTheWriter)
{
    TBiffBody boundSheet;
    boundSheet.U32(0x12345678).U16(0).String8(u"Sheet1", false);
    TBiffWriter writer;
    writer.Bof().Record(BiffId::BoundSheet, boundSheet).Record(0x0203, Pattern(20, 1)).Eof().Bof(0x0010).Eof();
    std::vector<uint8_t> encrypted = EncryptWorkbookStream(writer.Bytes());
    TRecordSource source(encrypted);
    std::vector<TRec> raw = ReadRecords(source.Biff); // read without decrypting
    ASSERT_EQ(raw.size(), 7u);
    EXPECT_EQ(raw[2].Id, BiffId::BoundSheet);
    EXPECT_EQ(std::vector<uint8_t>(raw[2].Body.begin(), raw[2].Body.begin() + 4),
              (std::vector<uint8_t> {0x78, 0x56, 0x34, 0x12}));
    EXPECT_NE(raw[2].Body, boundSheet.Joined());
    EXPECT_NE(raw[3].Body, Pattern(20, 1));
    EXPECT_EQ(raw[5].Id, BiffId::Bof);
    EXPECT_EQ(raw[5].Body[2], 0x10); // the sheet's BOF body is in clear
    // Decrypting yields every other body as written.
    std::vector<TRec> read = ReadDecrypting(encrypted, DefaultPassword);
    const std::vector<uint8_t> written = boundSheet.Joined();
    EXPECT_EQ(std::vector<uint8_t>(read[2].Body.begin() + 4, read[2].Body.end()),
              std::vector<uint8_t>(written.begin() + 4, written.end()));
    EXPECT_EQ(read[3].Body, Pattern(20, 1));
}

// ---- the record cursor ----

namespace {

struct TCursorSource : TRecordSource {
    explicit TCursorSource(const std::vector<uint8_t>& stream) : TRecordSource(stream), Cursor(Biff) {}
    TRecordCursor Cursor;
};

} // namespace

TEST(RecordCursor, UnconsumedRecordIsDispatchedOnceMore)
{
    TBiffWriter writer;
    writer.Record(0x0203, Pattern(4, 1)).Record(0x0204, Pattern(4, 2));
    TCursorSource source(writer.Bytes());
    TRecordCursor& cursor = source.Cursor;
    ASSERT_TRUE(cursor.Fetch());
    EXPECT_EQ(cursor.Record().Id, 0x0203u);
    EXPECT_FALSE(cursor.Consumed);
    ASSERT_TRUE(cursor.Fetch()); // left unconsumed: the same record again
    EXPECT_EQ(cursor.Record().Id, 0x0203u);
    EXPECT_EQ(cursor.Retries, 1);
    try {
        cursor.Fetch();
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Error: BIFF record can not be processed");
    }
}

TEST(RecordCursor, FetchContinueHandsBackAnotherRecord)
{
    TBiffWriter writer;
    writer.Record(0x00FC, Pattern(4, 1)).Record(BiffId::Continue, Pattern(6, 2)).Record(0x00FF, Pattern(2, 3));
    TCursorSource source(writer.Bytes());
    TRecordCursor& cursor = source.Cursor;
    ASSERT_TRUE(cursor.Fetch());
    ASSERT_TRUE(cursor.FetchContinue());
    EXPECT_EQ(cursor.Data().Size(), 6u);
    EXPECT_FALSE(cursor.FetchContinue()); // EXTSST: stays current, unconsumed
    EXPECT_EQ(cursor.Record().Id, 0x00FFu);
    EXPECT_FALSE(cursor.Consumed);
    ASSERT_TRUE(cursor.Fetch()); // the loop dispatches it
    EXPECT_EQ(cursor.Record().Id, 0x00FFu);
    cursor.Consumed = true;
    EXPECT_FALSE(cursor.Fetch());
    EXPECT_TRUE(cursor.EndOfRecords());
}

TEST(RecordCursor, LookAheadIntoTheEndEndsTheLoop)
{
    TBiffWriter writer;
    writer.Record(0x00FC, Pattern(4, 1));
    TCursorSource source(writer.Bytes());
    TRecordCursor& cursor = source.Cursor;
    ASSERT_TRUE(cursor.Fetch());
    EXPECT_FALSE(cursor.FetchContinue());
    EXPECT_TRUE(cursor.EndOfRecords());
    // The handler returns without consuming; the loop ends instead of retrying.
    EXPECT_FALSE(cursor.Fetch());
    EXPECT_FALSE(cursor.Fetch());
}

TEST(RecordCursor, ProgressIsNonDecreasingAndReachesOne)
{
    TBiffWriter writer;
    for (int i = 0; i < 30; ++i) writer.Record(0x0203, Pattern(98, uint8_t(i)));
    writer.PadTo(1024);
    ASSERT_EQ(writer.Size(), 3072u);
    TCursorSource source(writer.Bytes());
    std::vector<double> seen;
    source.Cursor.OnProgress = [&](double fraction) { seen.push_back(fraction); };
    int records = 0;
    while (source.Cursor.Fetch()) {
        ++records;
        source.Cursor.Consumed = true;
    }
    EXPECT_EQ(records, 30);
    ASSERT_EQ(seen.size(), 31u); // also after the last, failing fetch
    for (size_t i = 1; i < seen.size(); ++i) EXPECT_GE(seen[i], seen[i - 1]);
    EXPECT_GT(seen.front(), 0.0);
    EXPECT_EQ(seen.back(), 1.0);
}

TEST(RecordCursor, ProgressOfAnEmptyStreamIsOne)
{
    TCursorSource source({});
    std::vector<double> seen;
    source.Cursor.OnProgress = [&](double fraction) { seen.push_back(fraction); };
    EXPECT_FALSE(source.Cursor.Fetch());
    EXPECT_EQ(seen, std::vector<double> {1.0});
}

namespace {

struct TStringCase {
    const char* Name;
    TBiffBody Body; // cch (u16), option byte, then the characters and their continuations
    std::string Bytes;
    bool Wide;
};

// Fetches the record, skips `prefix` bytes, reads the count, the option byte and the string.
TContinuedString ReadStringRecord(TRecordCursor& cursor, size_t prefix = 0)
{
    EXPECT_TRUE(cursor.Fetch());
    cursor.Data().Skip(prefix);
    uint16_t cch = 0;
    uint8_t option = 0;
    cursor.Data().ReadWord(cch);
    cursor.Data().ReadByte(option);
    return cursor.ReadContinuedString(cch, option);
}

} // namespace

TEST(RecordCursor, ContinuedStrings)
{
    auto header = [](uint16_t cch, bool wide) { return TBiffBody().U16(cch).U8(wide ? 1 : 0); };
    std::vector<TStringCase> cases;
    cases.push_back({"one piece", header(3, false).Chars(u"abc", false), "abc", false});
    cases.push_back({"one-byte then two-byte",
                     header(6, false).Chars(u"abc", false).ContinueString(true).Chars(u"d\u20acf", true),
                     WideBytes(u"abcd\u20acf"), true});
    cases.push_back({"two-byte then one-byte",
                     header(5, true).Chars(u"\u4e2db", true).ContinueString(false).Chars(u"cde", false),
                     WideBytes(u"\u4e2dbcde"), true});
    cases.push_back({"three one-byte pieces",
                     header(5, false).Chars(u"ab", false).ContinueString(false).Chars(u"c", false)
                         .ContinueString(false).Chars(u"de", false),
                     "abcde", false});
    cases.push_back({"an empty CONTINUE between the pieces",
                     header(4, false).Chars(u"ab", false).Continue().ContinueString(false).Chars(u"cd", false), "abcd",
                     false});
    cases.push_back({"odd byte left in a two-byte piece is dropped",
                     header(4, true).Chars(u"ab", true).U8('Z').ContinueString(true).Chars(u"cd", true),
                     WideBytes(u"abcd"), true});
    cases.push_back({"a CONTINUE holding only its option byte",
                     header(3, false).Chars(u"a", false).ContinueString(true).ContinueString(false).Chars(u"bc", false),
                     WideBytes(u"abc"), true});
    for (TStringCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TBiffWriter writer;
        writer.Record(0x0207, c.Body).Record(0x0203, Pattern(4, 9));
        TCursorSource source(writer.Bytes());
        TContinuedString result = ReadStringRecord(source.Cursor);
        EXPECT_EQ(result.Bytes, c.Bytes);
        EXPECT_EQ(result.Wide, c.Wide);
        // The record after the string is dispatched normally.
        source.Cursor.Consumed = true;
        ASSERT_TRUE(source.Cursor.Fetch());
        EXPECT_EQ(source.Cursor.Record().Id, 0x0203u);
    }
}

TEST(RecordCursor, StringCutShortByTheNextRecord)
{
    TBiffWriter writer;
    writer.Record(0x0207, TBiffBody().U16(6).U8(0).Chars(u"abc", false)).Record(0x0203, Pattern(4, 9));
    TCursorSource source(writer.Bytes());
    TContinuedString result = ReadStringRecord(source.Cursor);
    EXPECT_EQ(result.Bytes, "abc");
    EXPECT_FALSE(result.Wide);
    // NUMBER came instead of a CONTINUE: it stays for the loop.
    EXPECT_EQ(source.Cursor.Record().Id, 0x0203u);
    EXPECT_FALSE(source.Cursor.Consumed);
    EXPECT_TRUE(source.Cursor.Fetch());
    EXPECT_EQ(source.Cursor.Record().Id, 0x0203u);
}

TEST(RecordCursor, StringCutShortByTheEndOfRecords)
{
    TBiffWriter writer;
    writer.Record(0x0207, TBiffBody().U16(6).U8(1).Chars(u"ab", true).U8('x'));
    TCursorSource source(writer.Bytes());
    TContinuedString result = ReadStringRecord(source.Cursor);
    EXPECT_EQ(result.Bytes, WideBytes(u"ab"));
    EXPECT_TRUE(source.Cursor.EndOfRecords());
    EXPECT_FALSE(source.Cursor.Fetch());
}

TEST(RecordCursor, SkipContinuedCrossesRecordsWithoutOptionBytes)
{
    TBiffBody body;
    body.Bytes("xx").Continue().Bytes("12345").Continue().Continue().Bytes("tail");
    TBiffWriter writer;
    writer.Record(0x00FC, body).Record(0x0203, Pattern(4, 1));
    TCursorSource source(writer.Bytes());
    TRecordCursor& cursor = source.Cursor;
    ASSERT_TRUE(cursor.Fetch());
    EXPECT_TRUE(cursor.SkipContinued(8));
    std::string rest;
    EXPECT_TRUE(cursor.Data().ReadBytesAsString(rest, 3));
    EXPECT_EQ(rest, "ail");
    EXPECT_FALSE(cursor.SkipContinued(5)); // runs into NUMBER
    EXPECT_EQ(cursor.Record().Id, 0x0203u);
}

TEST(BiffWriter, AutomaticSplitInsideCharactersAddsOptionBytes)
{
    for (bool wide : {false, true}) {
        SCOPED_TRACE(wide);
        std::u16string text;
        for (int i = 0; i < 45; ++i) text += char16_t((wide ? 0x0400 : 'A') + i);
        TBiffWriter writer;
        writer.MaxBody = 16;
        writer.Record(0x00FC, TBiffBody().U32(7).String16(text, wide)).Record(0x0203, Pattern(4, 1));
        TCursorSource source(writer.Bytes());
        // Every CONTINUE starts with the option byte and holds whole characters.
        std::vector<TRec> raw = ReadRecords(source.Biff);
        ASSERT_GT(raw.size(), 3u);
        for (size_t i = 1; i + 1 < raw.size(); ++i) {
            EXPECT_EQ(raw[i].Id, BiffId::Continue);
            EXPECT_LE(raw[i].Body.size(), 16u);
            EXPECT_EQ(raw[i].Body[0], wide ? 1 : 0);
            if (wide) {
                EXPECT_EQ(raw[i].Body.size() % 2, 1u);
            }
        }
        TCursorSource reading(writer.Bytes());
        TContinuedString result = ReadStringRecord(reading.Cursor, 4);
        EXPECT_EQ(result.Bytes, wide ? WideBytes(text) : std::string(text.begin(), text.end()));
        EXPECT_EQ(result.Wide, wide);
    }
}

TEST(BiffWriter, AutomaticSplitKeepsStringHeadersWhole)
{
    // Strings of 1..12 characters: with 20-byte records some cuts would fall
    // inside a 3-byte header; those records end before the header instead.
    std::vector<std::u16string> texts;
    TBiffBody body;
    body.U32(12);
    for (int n = 1; n <= 12; ++n) {
        texts.push_back(std::u16string(size_t(n), char16_t('a' + n)));
        body.String16(texts.back(), n % 3 == 0);
    }
    TBiffWriter writer;
    writer.MaxBody = 20;
    writer.Record(0x00FC, body).Record(0x0203, Pattern(4, 1));
    TCursorSource source(writer.Bytes());
    TRecordCursor& cursor = source.Cursor;
    ASSERT_TRUE(cursor.Fetch());
    cursor.Data().Skip(4);
    for (const std::u16string& text : texts) {
        SCOPED_TRACE(text.size());
        if (cursor.Data().Remaining() == 0) {
            ASSERT_TRUE(cursor.FetchContinue());
        }
        ASSERT_GE(cursor.Data().Remaining(), 3u);
        uint16_t cch = 0;
        uint8_t option = 0;
        cursor.Data().ReadWord(cch);
        cursor.Data().ReadByte(option);
        ASSERT_EQ(cch, text.size());
        TContinuedString result = cursor.ReadContinuedString(cch, option);
        EXPECT_EQ(result.Bytes, result.Wide ? WideBytes(text) : std::string(text.begin(), text.end()));
        EXPECT_EQ(result.Wide, text.size() % 3 == 0);
    }
    EXPECT_EQ(cursor.Data().Remaining(), 0u);
}
