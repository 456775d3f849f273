// The command line end to end: the program converts workbooks written by our
// own fixture writer into pages.
#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures/RunProgram.h"
#include "fixtures/TestFiles.h"
#include "fixtures/WorkbookBuilder.h"

namespace fs = std::filesystem;

namespace {

// Without a display, so that fewer than two arguments give the usage, never a window.
TProgramResult Quillon(const std::vector<std::string>& arguments, const std::string& workingDirectory = "")
{
    return RunProgram(QUILLON_BINARY, arguments, workingDirectory,
                      {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}});
}

std::string FileText(const fs::path& path)
{
    const auto bytes = ReadWholeFile(path.string());
    return std::string(bytes.begin(), bytes.end());
}

// Every file name below `dir`, relative to it, sorted.
std::vector<std::string> FilesBelow(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file())
            names.push_back(fs::relative(entry.path(), dir).string());
    std::sort(names.begin(), names.end());
    return names;
}

class CliConvertTest : public ::testing::Test {
protected:
    TScratchDir Dir;
    fs::path Work = Dir.Path() / "work";
    std::string Source = Dir.File("book.xls");

    void SetUp() override { fs::create_directory(Work); }

    // Sheets One (cell "one"), Empty (no cell), Three ("three"), Four ("four").
    void WriteFourSheetBook()
    {
        TWorkbookBuilder book;
        book.Sheet(u"One").Label(0, 0, u"one");
        book.Sheet(u"Empty");
        book.Sheet(u"Three").Label(1, 1, u"three");
        book.Sheet(u"Four").Label(0, 0, u"four");
        WriteWholeFile(Source, book.FileBytes());
    }
    void WriteOneSheetBook(const std::u16string& text = u"only")
    {
        TWorkbookBuilder book;
        book.Sheet(u"Sheet1").Label(0, 0, text, true);
        WriteWholeFile(Source, book.FileBytes());
    }
};

TEST_F(CliConvertTest, NamingSequenceWithAnEmptySheetBetween)
{
    WriteFourSheetBook();
    const TProgramResult run = Quillon({Source, (Work / "out.htm").string()});
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(FilesBelow(Work), (std::vector<std::string>{"out.htm", "out0.htm", "out1.htm"}));
    EXPECT_NE(FileText(Work / "out.htm").find(">one</td>"), std::string::npos);
    EXPECT_NE(FileText(Work / "out0.htm").find(">three</td>"), std::string::npos);
    EXPECT_NE(FileText(Work / "out1.htm").find(">four</td>"), std::string::npos);
}

TEST_F(CliConvertTest, ExistingPagesAreNeverOverwritten)
{
    WriteOneSheetBook();
    WriteWholeFile((Work / "out.htm").string(), std::string("keep"));
    WriteWholeFile((Work / "out0.htm").string(), std::string("keep0"));
    const TProgramResult run = Quillon({Source, (Work / "out.htm").string()});
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(FileText(Work / "out.htm"), "keep");
    EXPECT_EQ(FileText(Work / "out0.htm"), "keep0");
    EXPECT_NE(FileText(Work / "out1.htm").find(">only</td>"), std::string::npos);
}

// Each sheet takes the first free name of the sequence, also after names
// that were taken before the run, with the empty sheet's name left to the
// next sheet.
TEST_F(CliConvertTest, NamingSkipsNamesTakenBefore)
{
    WriteFourSheetBook();
    const struct {
        std::vector<std::string> Taken; // files there before the run
        std::string One, Three, Four;   // the pages of the sheets with cells
    } cases[] = {
        {{"out0.htm", "out2.htm"}, "out.htm", "out1.htm", "out3.htm"},
        {{"out.htm", "out1.htm"}, "out0.htm", "out2.htm", "out3.htm"},
        {{"out.htm", "out0.htm", "out1.htm"}, "out2.htm", "out3.htm", "out4.htm"},
        {{"out1.htm", "out3.htm", "out5.htm"}, "out.htm", "out0.htm", "out2.htm"},
    };
    for (const auto& c : cases) {
        fs::remove_all(Work);
        fs::create_directory(Work);
        for (const std::string& name : c.Taken)
            WriteWholeFile((Work / name).string(), "keep " + name);
        const TProgramResult run = Quillon({Source, (Work / "out.htm").string()});
        EXPECT_EQ(run.ExitCode, 0) << run.Err;
        std::vector<std::string> expected = c.Taken;
        expected.insert(expected.end(), {c.One, c.Three, c.Four});
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(FilesBelow(Work), expected) << c.One;
        for (const std::string& name : c.Taken)
            EXPECT_EQ(FileText(Work / name), "keep " + name);
        EXPECT_NE(FileText(Work / c.One).find(">one</td>"), std::string::npos) << c.One;
        EXPECT_NE(FileText(Work / c.Three).find(">three</td>"), std::string::npos) << c.Three;
        EXPECT_NE(FileText(Work / c.Four).find(">four</td>"), std::string::npos) << c.Four;
    }
}

TEST_F(CliConvertTest, TargetVariants)
{
    WriteFourSheetBook();
    const struct {
        std::string Target; // relative to the working directory unless absolute
        std::vector<std::string> Files;
    } cases[] = {
        {"out.htm", {"out.htm", "out0.htm", "out1.htm"}},
        {"pages/report.html", {"pages/report.htm", "pages/report0.htm", "pages/report1.htm"}},
        {"archive.2024.xls", {"archive.2024.htm", "archive.20240.htm", "archive.20241.htm"}},
        {"noext", {"noext.htm", "noext0.htm", "noext1.htm"}},
        {"dir/", {"dir/.htm", "dir/0.htm", "dir/1.htm"}},
        {"a/b/c/deep.htm", {"a/b/c/deep.htm", "a/b/c/deep0.htm", "a/b/c/deep1.htm"}},
        {"ABSOLUTE/x/y/abs.htm", {"x/y/abs.htm", "x/y/abs0.htm", "x/y/abs1.htm"}},
    };
    for (const auto& c : cases) {
        fs::remove_all(Work);
        fs::create_directory(Work);
        std::string target = c.Target;
        if (target.rfind("ABSOLUTE/", 0) == 0)
            target = (Work / target.substr(9)).string();
        const TProgramResult run = Quillon({Source, target, "ignored third"}, Work.string());
        EXPECT_EQ(run.ExitCode, 0) << c.Target << ": " << run.Err;
        EXPECT_EQ(FilesBelow(Work), c.Files) << c.Target;
    }
}

TEST_F(CliConvertTest, Utf8Pages)
{
    WriteOneSheetBook(u"\u0416\u00E9");
    const TProgramResult ansi = Quillon({Source, (Work / "a.htm").string()});
    const TProgramResult utf8 = Quillon({"--encoding=utf-8", Source, (Work / "u.htm").string()});
    EXPECT_EQ(ansi.ExitCode, 0) << ansi.Err;
    EXPECT_EQ(utf8.ExitCode, 0) << utf8.Err;
    EXPECT_NE(FileText(Work / "a.htm").find(">&#1046;\xE9</td>"), std::string::npos);
    const std::string page = FileText(Work / "u.htm");
    EXPECT_EQ(page.rfind("<html>\r\n<meta charset=\"utf-8\">\r\n<style>", 0), 0u);
    EXPECT_NE(page.find(">\xD0\x96\xC3\xA9</td>"), std::string::npos);
}

TEST_F(CliConvertTest, Failures)
{
    WriteOneSheetBook();
    WriteWholeFile((Work / "blocker").string(), std::string("a file, not a directory"));
    WriteWholeFile((Work / "text.xls").string(), std::string("not a workbook at all"));

    const TProgramResult noDirectory = Quillon({Source, (Work / "blocker/sub/out.htm").string()});
    EXPECT_EQ(noDirectory.ExitCode, 1);
    EXPECT_EQ(noDirectory.Err, "Konnte das Verzeichnis nicht erstellen!\n");

    for (const std::string& source : {(Work / "missing.xls").string(), (Work / "text.xls").string()}) {
        const TProgramResult run = Quillon({source, (Work / "out/out.htm").string()});
        EXPECT_EQ(run.ExitCode, 1) << source;
        ASSERT_GE(run.Err.size(), 3u) << source;
        // One line, ended by the full stop rule.
        EXPECT_EQ(run.Err.find('\n'), run.Err.size() - 1) << run.Err;
        EXPECT_LE(static_cast<unsigned char>(run.Err[run.Err.size() - 2]), '.') << run.Err;
    }
    EXPECT_FALSE(fs::exists(Work / "out/out.htm"));
}

// --max-output bounds the pages of a workbook together: a run that would
// cross it writes nothing that stays, and says so; files that were there
// before stay.
TEST_F(CliConvertTest, MaxOutputBoundsThePagesTogether)
{
    WriteFourSheetBook();
    const fs::path free = Dir.Path() / "free";
    ASSERT_EQ(Quillon({Source, (free / "out.htm").string()}).ExitCode, 0);
    uintmax_t total = 0;
    for (const std::string& name : FilesBelow(free))
        total += fs::file_size(free / name);
    const std::vector<std::string> pages {"out.htm", "out0.htm", "out1.htm"};

    const TProgramResult exact = Quillon({"--max-output=" + std::to_string(total), Source, (Work / "out.htm").string()});
    EXPECT_EQ(exact.ExitCode, 0) << exact.Err;
    EXPECT_EQ(FilesBelow(Work), pages);
    for (const std::string& name : pages)
        EXPECT_EQ(FileText(Work / name), FileText(free / name)) << name;

    for (const uintmax_t limit : {total - 1, uintmax_t {0}}) {
        fs::remove_all(Work);
        fs::create_directory(Work);
        WriteWholeFile((Work / "out.htm").string(), std::string("keep"));
        const TProgramResult over = Quillon({"--max-output=" + std::to_string(limit), Source, (Work / "out.htm").string()});
        EXPECT_EQ(over.ExitCode, 1) << limit;
        EXPECT_NE(over.Err.find("--max-output"), std::string::npos) << over.Err;
        EXPECT_NE(over.Err.find("(" + std::to_string(limit) + " Bytes)"), std::string::npos) << over.Err;
        EXPECT_EQ(FilesBelow(Work), std::vector<std::string> {"out.htm"}) << limit;
        EXPECT_EQ(FileText(Work / "out.htm"), "keep");
    }
}

// The directories a stopped run made for its pages go with them; those that
// were there before stay, even when empty.
TEST_F(CliConvertTest, MaxOutputLeavesNoDirectoryItMade)
{
    WriteFourSheetBook();
    fs::create_directories(Work / "old/empty");
    const struct {
        std::string Target; // below Work
        std::vector<std::string> Left; // every entry below Work afterwards
    } cases[] = {
        {"new/out.htm", {"old", "old/empty"}},
        {"new/deeper/still/out.htm", {"old", "old/empty"}},
        {"old/new/out.htm", {"old", "old/empty"}},
        {"old/empty/out.htm", {"old", "old/empty"}},
        {"old/new/../out.htm", {"old", "old/empty"}},
    };
    for (const auto& c : cases) {
        const TProgramResult run = Quillon({"--max-output=100", Source, (Work / c.Target).string()});
        EXPECT_EQ(run.ExitCode, 1) << c.Target;
        EXPECT_NE(run.Err.find("--max-output"), std::string::npos) << run.Err;
        std::vector<std::string> left;
        for (const auto& entry : fs::recursive_directory_iterator(Work))
            left.push_back(fs::relative(entry.path(), Work).string());
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, c.Left) << c.Target;
    }
    // A run that stays within the limit keeps what it made.
    EXPECT_EQ(Quillon({Source, (Work / "new/out.htm").string()}).ExitCode, 0);
    EXPECT_EQ(FilesBelow(Work / "new"), (std::vector<std::string>{"out.htm", "out0.htm", "out1.htm"}));
}

// A page far larger than the limit stops early, with K, M and G as powers of 1024.
TEST_F(CliConvertTest, MaxOutputStopsALargePage)
{
    TWorkbookBuilder book;
    book.Sheet(u"Wide").Number(0, 0, 1).Number(999, 255, 2); // a page of some 10 MB
    WriteWholeFile(Source, book.FileBytes());
    const TProgramResult run = Quillon({"--max-output=64K", Source, (Work / "out.htm").string()});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_NE(run.Err.find("(65536 Bytes)"), std::string::npos) << run.Err;
    EXPECT_TRUE(FilesBelow(Work).empty());
    EXPECT_EQ(Quillon({"--max-output=1G", Source, (Work / "out.htm").string()}).ExitCode, 0);
    EXPECT_EQ(FilesBelow(Work), std::vector<std::string> {"out.htm"});
}

TEST_F(CliConvertTest, MaxOutputRefusesWhatIsNoSize)
{
    for (const std::string value : {"", "12X", "1KB", "-1", "K", "1.5M", "18446744073709551616", "17179869184G"}) {
        const TProgramResult run = Quillon({"--max-output=" + value, "a.xls", "b.htm"}, Work.string());
        EXPECT_EQ(run.ExitCode, 2) << value;
        EXPECT_NE(run.Err.find("--max-output=" + value + "\n"), std::string::npos) << run.Err;
    }
    EXPECT_TRUE(FilesBelow(Work).empty());
}

TEST_F(CliConvertTest, UsageHelpAndVersion)
{
    const struct {
        std::vector<std::string> Arguments;
        int ExitCode;
    } cases[] = {
        {{}, 2}, {{"only-one.xls"}, 2}, {{"--bogus", "a.xls", "b.htm"}, 2}, {{"--dump"}, 2},
        {{"--help"}, 0}, {{"--version"}, 0}, {{"a.xls", "--help"}, 0},
    };
    for (const auto& c : cases) {
        const TProgramResult run = Quillon(c.Arguments, Work.string());
        EXPECT_EQ(run.ExitCode, c.ExitCode) << ::testing::PrintToString(c.Arguments);
        const std::string& text = c.ExitCode == 0 ? run.Out : run.Err;
        EXPECT_FALSE(text.empty()) << ::testing::PrintToString(c.Arguments);
    }
    const TProgramResult help = Quillon({"--help"});
    EXPECT_NE(help.Out.find("quillon /pfad/test.xls /pfad/out/out.htm"), std::string::npos);
    EXPECT_NE(help.Out.find("--encoding=utf-8"), std::string::npos);
    EXPECT_NE(help.Out.find("(BIFF2 bis BIFF8)"), std::string::npos);
    EXPECT_NE(Quillon({"--version"}).Out.find("Quillon"), std::string::npos);
    EXPECT_NE(Quillon({"--bogus", "a", "b"}).Err.find("--bogus"), std::string::npos);
    EXPECT_TRUE(FilesBelow(Work).empty());
}

} // namespace
