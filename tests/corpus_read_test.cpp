// Every real-world workbook of the shared corpus ends in a workbook or in one
// of the library's errors; the encrypted ones give what their scheme should.
// Skipped where the corpus folder is absent.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "fixtures/CorpusRefusals.h"
#include "fixtures/TestFiles.h"
#include "model/Workbook.h"
#include "platform/CodePage.h"
#include "reading/CFile.h"
#include "reading/XLSFile.h"
#include "styles/XLSError.h"

namespace {

// The outcome of opening a file: "ok", or the kind and message of the error.
std::string OpenOutcome(const std::filesystem::path& path, const std::u16string& password = u"")
{
    TXLSFile file;
    try {
        file.OpenFile(Utf8ToWide(path.string()), password);
        return "ok";
    } catch (const EXLSError& e) {
        return std::string("EXLSError: ") + e.what();
    } catch (const ECFileError& e) {
        return std::string("ECFileError: ") + e.what();
    } catch (const ERangeError& e) {
        return std::string("ERangeError: ") + e.what();
    } catch (const std::runtime_error& e) {
        return std::string("runtime_error: ") + e.what();
    }
}

// The plain messages the reader itself raises.
const std::set<std::string> ReaderMessages = {
    "runtime_error: Error: BIFF record can not be processed",
    "runtime_error: Error: data is protected, and this encryption type not supported.",
    "runtime_error: Error: strong encryption not supported.",
    "runtime_error: Error: file is protected, and password is invalid!",
    "runtime_error: File protection password must have 0-15 characters.",
};

std::filesystem::path CorpusFile(const std::string& name) { return CorpusDir() / name; }

} // namespace

TEST(CorpusRead, EveryFileOpensOrFailsWithALibraryError)
{
    const auto files = CorpusFiles();
    if (files.empty()) GTEST_SKIP() << "no corpus";
    for (const auto& path : files) {
        const std::string outcome = OpenOutcome(path);
        const bool libraryError = outcome == "ok" || outcome.rfind("EXLSError", 0) == 0 ||
                                  outcome.rfind("ECFileError", 0) == 0 || outcome.rfind("ERangeError", 0) == 0 ||
                                  ReaderMessages.count(outcome) == 1;
        EXPECT_TRUE(libraryError) << path.filename() << ": " << outcome;
        if (outcome != "ok") std::cout << "  " << path.filename().string() << ": " << outcome << "\n";
    }
}

// Every corpus file opens but those in the table of refusals, which fail with
// the message given there (older-format files may open already).
TEST(CorpusRead, OnlyTheListedFilesAreRefusedAndForTheirReason)
{
    const auto files = CorpusFiles();
    if (files.empty()) GTEST_SKIP() << "no corpus";
    for (const auto& path : files) {
        const std::string name = path.filename().string();
        const std::string outcome = OpenOutcome(path);
        const TCorpusRefusal* refusal = FindCorpusRefusal(name);
        if (!refusal) {
            EXPECT_EQ(outcome, "ok") << name;
            continue;
        }
        if (outcome == "ok" && refusal->OlderFormat) continue;
        const std::string message = refusal->Message;
        EXPECT_TRUE(outcome.size() >= message.size() && outcome.compare(outcome.size() - message.size(), message.size(),
                                                                         message) == 0)
            << name << ": " << outcome << ", listed as: " << message;
        std::cout << "  refused " << name << ": " << refusal->Reason << "\n";
    }
}

TEST(CorpusRead, EncryptedFilesGiveWhatTheirSchemeShould)
{
    if (CorpusFiles().empty()) GTEST_SKIP() << "no corpus";
    const std::string prefix = "parseexcel__t_excel_files_";
    EXPECT_EQ(OpenOutcome(CorpusFile(prefix + "pers-protected.xls")), "ok");
    EXPECT_EQ(OpenOutcome(CorpusFile(prefix + "pers-encrypted-def-pass-QwErTyUiOp.xls")),
              "runtime_error: Error: file is protected, and password is invalid!");
    EXPECT_EQ(OpenOutcome(CorpusFile(prefix + "pers-encrypted-def-pass-QwErTyUiOp.xls"), u"QwErTyUiOp"), "ok");
    EXPECT_EQ(OpenOutcome(CorpusFile(prefix + "encrypted.xls")),
              "runtime_error: Error: file is protected, and password is invalid!");
    EXPECT_EQ(OpenOutcome(CorpusFile(prefix + "pers-encrypted-RC4-pass-11.xls"), u"11"),
              "runtime_error: Error: strong encryption not supported.");
}

TEST(CorpusRead, ProtectedFileReadsLikeAnOpenOne)
{
    if (CorpusFiles().empty()) GTEST_SKIP() << "no corpus";
    TXLSFile file;
    file.OpenFile(Utf8ToWide(CorpusFile("parseexcel__t_excel_files_pers-encrypted-def-pass-QwErTyUiOp.xls").string()),
                  u"QwErTyUiOp");
    ASSERT_GE(file.Workbook().Sheets().Count(), 1);
    EXPECT_GT(file.Workbook().Sheets().Items(0)->Cells().Count(), 0);
}
