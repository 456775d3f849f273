// Real-world workbooks through the program: every one the reader accepts
// converts; every other ends with status 1 and a one-line message.
#include <gtest/gtest.h>

#include "fixtures/CorpusRefusals.h"
#include "fixtures/RunProgram.h"
#include "fixtures/TestFiles.h"
#include "platform/CodePage.h"
#include "reading/XLSFile.h"

namespace {

bool ReaderAccepts(const std::string& path)
{
    try {
        TXLSFile file;
        file.OpenFile(Utf8ToWide(path));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

TEST(CliCorpusTest, EveryWorkbookConvertsOrFailsWithAMessage)
{
    const auto files = CorpusFiles();
    if (files.empty())
        GTEST_SKIP() << "no corpus folder";
    int converted = 0;
    for (const auto& path : files) {
        TScratchDir out;
        const TProgramResult run = RunProgram(QUILLON_BINARY, {path.string(), out.File("pages/page.htm")});
        // The files the program refuses are those of the corpus table of refusals.
        const TCorpusRefusal* refusal = FindCorpusRefusal(path.filename().string());
        if (run.ExitCode == 0) EXPECT_TRUE(!refusal || refusal->OlderFormat) << path << " is listed as refused";
        else if (!refusal) ADD_FAILURE() << path << " refused: " << run.Err;
        else EXPECT_EQ(run.Err.rfind(refusal->Message, 0), 0u) << path << "\n" << run.Err;
        if (ReaderAccepts(path.string())) {
            EXPECT_EQ(run.ExitCode, 0) << path << "\n" << run.Err;
            EXPECT_EQ(run.Err, "") << path;
            ++converted;
        } else {
            EXPECT_EQ(run.ExitCode, 1) << path << "\n" << run.Err;
            ASSERT_FALSE(run.Err.empty()) << path;
            EXPECT_EQ(run.Err.find('\n'), run.Err.size() - 1) << path << "\n" << run.Err;
        }
    }
    std::cout << converted << " of " << files.size() << " corpus workbooks converted\n";
}

} // namespace
