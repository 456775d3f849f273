// The favourite source folders kept in folders.dat: one folder per line, every
// line ended by CR LF, most recently used first. The file is Windows-1252
// while every folder fits that code page; otherwise the whole file is UTF-8
// behind a byte-order mark. Reading and writing never report a failure.
#pragma once

#include <string>
#include <vector>

using TPrefFolderList = std::vector<std::u16string>;

// Every line of the file, unchanged (empty lines included); empty when the
// file cannot be read.
TPrefFolderList LoadPrefFolders(const std::string& fileName);
// Replaces the file with the lines. The old file stays as it was when the new
// one cannot be written completely. False on failure, for callers that care.
bool SavePrefFolders(const std::string& fileName, const TPrefFolderList& folders);
// Removes the last line equal to `folder` (exact, case-sensitive) and puts
// `folder` at the top.
void MoveToTopOfPrefFolders(TPrefFolderList& folders, const std::u16string& folder);

// Where folders.dat lives: beside the program, unless that place cannot be
// written; then in the user's configuration directory, which once it holds
// the file is read first.
struct TPrefFolderFiles {
    std::string ProgramFile; // ProgramDir + "folders.dat"
    std::string UserFile;    // in the user's configuration directory
};

TPrefFolderList LoadPrefFolders(const TPrefFolderFiles& files);
// Writes beside the program while no user file exists and that succeeds;
// otherwise the user file (its directory made as needed).
bool SavePrefFolders(const TPrefFolderFiles& files, const TPrefFolderList& folders);
