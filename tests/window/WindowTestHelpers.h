// Shared pieces of the window tests: a main window over a scratch program
// directory and settings file, the message boxes it shows, and ways to wait
// for the asynchronous file pane.
#pragma once

#include <QModelIndex>
#include <condition_variable>
#include <mutex>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/MainUnit.h"
#include "fixtures/TestFiles.h"

// Holds the batch's worker before the file with a given index until Open():
// a batch made to last as long as a test needs, without sleeping.
class TFileGate {
public:
    void Install(size_t index);
    // True once the worker waits at the gate.
    bool Reached();
    void Open();
    void Remove(); // opens it and clears the hook

private:
    std::mutex FMutex;
    std::condition_variable FOpened;
    size_t FIndex = 0;
    bool FReached = false;
    bool FOpen = false;
};

struct TShownBox {
    QString Caption;
    QString Text;
};

class TMainFormTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new window over the scratch program directory and settings file; the
    // tree shows the program directory unless `showProgramDir` is false (then
    // it shows where the window starts).
    std::unique_ptr<TMainForm> NewForm(bool showProgramDir = true);
    // A directory (with parents) in the scratch area; returns its path.
    std::string MakeDir(const std::string& relative);
    // A file in the scratch area with the given bytes.
    std::string MakeFile(const std::string& relative, const std::string& bytes = "x");
    // A .xls file whose sheets each hold one number.
    std::string MakeWorkbook(const std::string& relative, int sheetCount);
    // The same with one sheet, encrypted under `password`.
    std::string MakeEncryptedWorkbook(const std::string& relative, const std::u16string& password);

    TScratchDir Scratch;
    std::string ProgramDir;   // Scratch/program/
    QString SettingsFile;     // Scratch/settings/quillon.ini
    std::vector<TShownBox> Boxes;
    TFileGate Gate;
    std::unique_ptr<TMainForm> Form;
};

// Shows `folder` in the tree and waits until the pane lists `names`; then
// selects exactly those entries of the pane.
void SelectInPane(TMainForm& form, const QString& folder, const QStringList& names);
// The pane's entry called `name` once the pane has loaded it; invalid on timeout.
QModelIndex WaitForPaneEntry(TMainForm& form, const QString& name);
// Names the pane shows for its current folder, once it has loaded at least `atLeast`.
QStringList PaneNames(TMainForm& form, int atLeast);

QStringList ListLines(const TMainForm& form);     // ImageList
std::vector<int> SelectedRows(const TMainForm& form); // ImageList
QStringList FavouriteLines(const TMainForm& form); // PrefListBox
QStringList StatusLines(const TMainForm& form);   // Memo1
// Clicks "Konvertieren" and waits until the batch has ended.
void ConvertAndWait(TMainForm& form);

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
