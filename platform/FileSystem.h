// The file system as the conversion needs it. Paths are the platform's byte
// strings ("/" separated, UTF-8 on this platform).
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

// A file that cannot be created or written.
class EFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    // "Cannot create file \"path\": reason", with the reason of errno.
    static std::string CreateMessage(const std::string& path);
    static std::string WriteMessage(const std::string& path);
};

// True when anything (file, directory, link, even a dangling one) has this name.
bool FileExists(const std::string& path);
// Creates the directory with every missing parent; true when it exists
// afterwards as a directory. False for an empty path. Each directory this call
// made is appended to `created`, when given, parents first.
bool ForceDirectories(const std::string& path, std::vector<std::string>* created = nullptr);
// Removes the directories named, from the last to the first, each only while
// it is empty; what cannot be removed stays, silently.
void RemoveEmptyDirectories(const std::vector<std::string>& directories);
// The working directory with a trailing "/"; empty when it cannot be read.
std::string WorkingDirectory();
// The directory of the running executable with a trailing "/"; empty when unknown.
std::string ProgramDirectory();
// The user's documents folder with a trailing "/": XDG_DOCUMENTS_DIR from the
// environment or from $XDG_CONFIG_HOME/user-dirs.dirs, else $HOME/Documents
// when it exists; empty when none is known.
std::string DocumentsDirectory();
// `path` with a "/" appended unless it is empty or ends with one.
std::string WithTrailingSlash(const std::string& path);
