// The Excel 2.x-95 workbooks of the corpus: every one converts, and its dump
// agrees with python3-xlrd on every text, number and boolean cell. Skips
// without the corpus, without xlrd or without the comparison script beside it.
#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures/RunProgram.h"
#include "fixtures/TestFiles.h"

namespace {

const char* const OlderFiles[] = {
    "parseexcel__t_excel_files_Test95.xls",   "parseexcel__t_excel_files_Test95J.xls",
    "parseexcel__sample_Excel_Test95.xls",    "parseexcel__sample_Excel_Test95J.xls",
    "parseexcel__sample_Excel_Test1904_95.xls", "parseexcel__sample_Excel_AuthorK95.xls",
    "libxls__fuzz_corpus_biff5-label-records.xls", "xlrd__tests_samples_biff4_no_format_no_window2.xls",
};

TEST(OlderCorpus, DumpsAgreeWithXlrd)
{
    const std::filesystem::path corpus = CorpusDir();
    if (corpus.empty()) GTEST_SKIP() << "no corpus folder";
    const std::filesystem::path script = corpus.parent_path() / "tools" / "diff_xlrd.py";
    if (!std::filesystem::exists(script)) GTEST_SKIP() << "no comparison script";
    if (RunProgram("/usr/bin/python3", {"-c", "import xlrd"}).ExitCode != 0) GTEST_SKIP() << "no xlrd";
    for (const char* name : OlderFiles) {
        const std::filesystem::path file = corpus / name;
        if (!std::filesystem::exists(file)) continue;
        const TProgramResult run = RunProgram("/usr/bin/python3", {script.string(), QUILLON_BINARY, file.string(), "100"});
        EXPECT_EQ(run.ExitCode, 0) << name << "\n" << run.Out << run.Err;
        EXPECT_NE(run.Out.find(", 0 refused by quillon"), std::string::npos) << name << "\n" << run.Out;
    }
}

} // namespace
