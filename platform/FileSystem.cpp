#include "platform/FileSystem.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool IsDirectory(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Makes `path` a directory unless it is one; false when that fails. Only a
// directory this call made itself goes into `created`.
bool MakeDirectory(const std::string& path, std::vector<std::string>* created)
{
    if (IsDirectory(path))
        return true;
    if (mkdir(path.c_str(), 0777) == 0) {
        if (created)
            created->push_back(path);
        return true;
    }
    return errno == EEXIST;
}

std::string EnvironmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The value of XDG_DOCUMENTS_DIR in a user-dirs.dirs file: a shell
// assignment of a double-quoted path that may start with "$HOME".
std::string DocumentsFromUserDirs(const std::string& file, const std::string& home)
{
    std::ifstream in(file);
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) != 0)
            continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0)
            value = home + value.substr(5);
        return value;
    }
    return "";
}

} // namespace

std::string EFileError::CreateMessage(const std::string& path)
{
    return "Cannot create file \"" + path + "\": " + std::strerror(errno);
}

std::string EFileError::WriteMessage(const std::string& path)
{
    return "Cannot write file \"" + path + "\": " + std::strerror(errno);
}

bool FileExists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

bool ForceDirectories(const std::string& path, std::vector<std::string>* created)
{
    if (path.empty())
        return false;
    // Create every prefix ending before a "/", then the whole path.
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        if (!MakeDirectory(path.substr(0, slash), created))
            return false;
    return MakeDirectory(path, created) && IsDirectory(path);
}

void RemoveEmptyDirectories(const std::vector<std::string>& directories)
{
    // rmdir removes nothing but an empty directory.
    for (auto directory = directories.rbegin(); directory != directories.rend(); ++directory)
        rmdir(directory->c_str());
}

std::string WorkingDirectory()
{
    std::vector<char> buffer(4096);
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE || buffer.size() > (1u << 20))
            return "";
        buffer.resize(buffer.size() * 2);
    }
    return WithTrailingSlash(buffer.data());
}

std::string ProgramDirectory()
{
    std::vector<char> buffer(4096);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<size_t>(length) >= buffer.size())
        return "";
    const std::string exe(buffer.data(), static_cast<size_t>(length));
    return exe.substr(0, exe.rfind('/') + 1);
}

std::string DocumentsDirectory()
{
    const std::string home = EnvironmentValue("HOME");
    std::string documents = EnvironmentValue("XDG_DOCUMENTS_DIR");
    if (documents.empty()) {
        std::string config = EnvironmentValue("XDG_CONFIG_HOME");
        if (config.empty() && !home.empty())
            config = home + "/.config";
        if (!config.empty())
            documents = DocumentsFromUserDirs(config + "/user-dirs.dirs", home);
    }
    if (documents.empty() && !home.empty() && IsDirectory(home + "/Documents"))
        documents = home + "/Documents";
    return WithTrailingSlash(documents);
}

std::string WithTrailingSlash(const std::string& path)
{
    if (path.empty() || path.back() == '/')
        return path;
    return path + "/";
}
