// folders.dat: reading line by line, writing Windows-1252 with CR LF (or
// UTF-8 behind a byte-order mark), silent failures, the place of the file,
// and the move-to-top rule of the favourites.
#include <gtest/gtest.h>

#include "app/PrefFolders.h"
#include "fixtures/TestFiles.h"

#include <filesystem>

namespace {
std::string ReadText(const std::string& path)
{
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}
} // namespace

TEST(PrefFolders, MissingFileGivesAnEmptyList)
{
    TScratchDir dir;
    EXPECT_TRUE(LoadPrefFolders(dir.File("folders.dat")).empty());
    EXPECT_TRUE(LoadPrefFolders(dir.Path().string()).empty()) << "a directory is not a list";
}

TEST(PrefFolders, LinesAreReadUnchanged)
{
    struct TCase {
        std::string Bytes;
        TPrefFolderList Lines;
    };
    const TCase cases[] = {
        {"", {}},
        {"/a/\r\n/b/\r\n", {u"/a/", u"/b/"}},
        {"/a/\n\n /b/ \r\n", {u"/a/", u"", u" /b/ "}},
        {"/a/\r/b/", {u"/a/", u"/b/"}},
        {"/a/\r\n/a/\r\n", {u"/a/", u"/a/"}},
        {"/M\xfc" "ller/\r\n", {u"/Müller/"}},
        {"\xEF\xBB\xBF/M\xC3\xBCller/\r\n/\xD0\xA4/\r\n", {u"/Müller/", u"/Ф/"}},
        {"\xEF\xBB\xBF", {}},
    };
    TScratchDir dir;
    for (const TCase& c : cases) {
        WriteWholeFile(dir.File("folders.dat"), c.Bytes);
        EXPECT_EQ(LoadPrefFolders(dir.File("folders.dat")), c.Lines) << c.Bytes;
    }
}

TEST(PrefFolders, SaveWritesWindows1252WithCrLf)
{
    TScratchDir dir;
    const std::string file = dir.File("folders.dat");
    ASSERT_TRUE(SavePrefFolders(file, {u"/Müller/", u"", u"/b/"}));
    EXPECT_EQ(ReadText(file), "/M\xfc" "ller/\r\n\r\n/b/\r\n");
    EXPECT_EQ(LoadPrefFolders(file), (TPrefFolderList {u"/Müller/", u"", u"/b/"}));

    ASSERT_TRUE(SavePrefFolders(file, {}));
    EXPECT_EQ(ReadText(file), "");
}

TEST(PrefFolders, SaveWritesUtf8WithAMarkWhenAFolderDoesNotFitWindows1252)
{
    TScratchDir dir;
    const std::string file = dir.File("folders.dat");
    const TPrefFolderList folders {u"/Müller/", u"/Фото/", u"/\U0001F600/"};
    ASSERT_TRUE(SavePrefFolders(file, folders));
    EXPECT_EQ(ReadText(file), "\xEF\xBB\xBF/M\xC3\xBCller/\r\n/\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE/\r\n/\xF0\x9F\x98\x80/\r\n")
        << "the whole file, also the lines that would fit";
    EXPECT_EQ(LoadPrefFolders(file), folders);
}

TEST(PrefFolders, AFileThatCannotBeWrittenIsLeftAlone)
{
    TScratchDir dir;
    EXPECT_FALSE(SavePrefFolders(dir.File("absent/folders.dat"), {u"/a/"}));

    // A directory in the file's place cannot be replaced by the list.
    const std::string blocked = dir.File("blocked");
    std::filesystem::create_directories(std::filesystem::path(blocked) / "inner");
    EXPECT_FALSE(SavePrefFolders(blocked, {u"/a/"}));
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(blocked) / "inner"));
    EXPECT_FALSE(std::filesystem::exists(blocked + ".new"));
}

TEST(PrefFolders, MoveToTopRemovesOnlyTheLastEqualLine)
{
    struct TCase {
        TPrefFolderList Before;
        std::u16string Folder;
        TPrefFolderList After;
    };
    const TCase cases[] = {
        {{}, u"/a/", {u"/a/"}},
        {{u"/a/"}, u"/b/", {u"/b/", u"/a/"}},
        {{u"/b/", u"/a/"}, u"/a/", {u"/a/", u"/b/"}},
        {{u"/a/"}, u"/a/", {u"/a/"}},
        {{u"/x/", u"/y/", u"/x/"}, u"/x/", {u"/x/", u"/x/", u"/y/"}},
        {{u"/A/"}, u"/a/", {u"/a/", u"/A/"}},
        {{u"/a"}, u"/a/", {u"/a/", u"/a"}},
    };
    for (const TCase& c : cases) {
        TPrefFolderList folders = c.Before;
        MoveToTopOfPrefFolders(folders, c.Folder);
        EXPECT_EQ(folders, c.After);
    }
}

TEST(PrefFolders, TheUserFileServesWhereTheProgramDirectoryCannotBeWritten)
{
    TScratchDir dir;
    std::filesystem::create_directories(dir.Path() / "program");
    const TPrefFolderFiles writable {dir.File("program/folders.dat"), dir.File("config/quillon/folders.dat")};
    ASSERT_TRUE(SavePrefFolders(writable, {u"/a/"}));
    EXPECT_EQ(ReadText(writable.ProgramFile), "/a/\r\n");
    EXPECT_FALSE(std::filesystem::exists(writable.UserFile)) << "beside the program while it can be written";

    const TPrefFolderFiles unwritable {dir.File("absent/folders.dat"), writable.UserFile};
    ASSERT_TRUE(SavePrefFolders(unwritable, {u"/b/"}));
    EXPECT_EQ(ReadText(unwritable.UserFile), "/b/\r\n") << "its directories made";
    EXPECT_EQ(LoadPrefFolders(unwritable), TPrefFolderList {u"/b/"});

    // Once the user file exists it is read first and written, also where the
    // program's one could be written again.
    EXPECT_EQ(LoadPrefFolders(writable), TPrefFolderList {u"/b/"});
    ASSERT_TRUE(SavePrefFolders(writable, {u"/c/"}));
    EXPECT_EQ(ReadText(writable.UserFile), "/c/\r\n");
    EXPECT_EQ(ReadText(writable.ProgramFile), "/a/\r\n");

    EXPECT_FALSE(SavePrefFolders(TPrefFolderFiles {unwritable.ProgramFile, ""}, {u"/d/"}));
}
