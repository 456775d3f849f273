#include "app/PrefFolders.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "platform/CodePage.h"
#include "platform/FileSystem.h"

namespace {

// A list of favourites is a few kilobytes; anything far larger is not ours.
constexpr std::streamoff MaxFileSize = 16 * 1024 * 1024;
constexpr const char* Utf8Mark = "\xEF\xBB\xBF";

bool ReadBytes(const std::string& fileName, std::string& bytes)
{
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0 || size > MaxFileSize)
        return false;
    in.seekg(0, std::ios::beg);
    bytes.resize(size_t(size));
    in.read(bytes.data(), size);
    return bool(in);
}

bool FitsWindows1252(const std::u16string& text)
{
    return AnsiToWide(WideToAnsi(text)) == text;
}

// Lines end with CR LF, LF or CR; a last line without an ending still counts.
TPrefFolderList SplitLines(const std::string& bytes)
{
    TPrefFolderList lines;
    const bool utf8 = bytes.compare(0, 3, Utf8Mark) == 0;
    size_t begin = utf8 ? 3 : 0;
    while (begin < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", begin);
        if (end == std::string::npos)
            end = bytes.size();
        const std::string line = bytes.substr(begin, end - begin);
        lines.push_back(utf8 ? Utf8ToWide(line) : AnsiToWide(line));
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n')
            ++end;
        begin = end + 1;
    }
    return lines;
}

} // namespace

TPrefFolderList LoadPrefFolders(const std::string& fileName)
{
    std::string bytes;
    if (!ReadBytes(fileName, bytes))
        return {};
    return SplitLines(bytes);
}

bool SavePrefFolders(const std::string& fileName, const TPrefFolderList& folders)
{
    bool utf8 = false;
    for (const std::u16string& folder : folders)
        utf8 = utf8 || !FitsWindows1252(folder);
    std::string content = utf8 ? Utf8Mark : "";
    for (const std::u16string& folder : folders)
        content += (utf8 ? WideToUtf8(folder) : WideToAnsi(folder)) + "\r\n";

    // A file we may not write stays as it is, as it would with Windows file rights.
    if (access(fileName.c_str(), F_OK) == 0 && access(fileName.c_str(), W_OK) != 0)
        return false;
    // Written beside the old file first, so a failed write cannot cut it short.
    const std::string temporary = fileName + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(content.data(), std::streamsize(content.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), fileName.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

void MoveToTopOfPrefFolders(TPrefFolderList& folders, const std::u16string& folder)
{
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        if (*it == folder) {
            folders.erase(std::next(it).base());
            break;
        }
    }
    folders.insert(folders.begin(), folder);
}

TPrefFolderList LoadPrefFolders(const TPrefFolderFiles& files)
{
    if (!files.UserFile.empty() && FileExists(files.UserFile))
        return LoadPrefFolders(files.UserFile);
    return LoadPrefFolders(files.ProgramFile);
}

bool SavePrefFolders(const TPrefFolderFiles& files, const TPrefFolderList& folders)
{
    const bool userFileInUse = !files.UserFile.empty() && FileExists(files.UserFile);
    if (!userFileInUse && SavePrefFolders(files.ProgramFile, folders))
        return true;
    if (files.UserFile.empty())
        return false;
    const size_t slash = files.UserFile.rfind('/');
    if (slash != std::string::npos && slash > 0)
        ForceDirectories(files.UserFile.substr(0, slash));
    return SavePrefFolders(files.UserFile, folders);
}
