// The favourite source folders kept in folders.dat beside the executable:
// one folder per line, Windows-1252, every line ended by CR LF, most recently
// used first. Reading and writing never report a failure.
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
