// Shared pieces of the window tests: a main window over a scratch program
// directory and settings file, the message boxes it shows, and ways to wait
// for the asynchronous file pane.
#pragma once

#include <QModelIndex>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/MainUnit.h"
#include "fixtures/TestFiles.h"

struct TShownBox {
    QString Caption;
    QString Text;
};

class TMainFormTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new window over the scratch program directory and settings file.
    std::unique_ptr<TMainForm> NewForm();
    // A directory (with parents) in the scratch area; returns its path.
    std::string MakeDir(const std::string& relative);
    // A file in the scratch area with the given bytes.
    std::string MakeFile(const std::string& relative, const std::string& bytes = "x");
    // A .xls file whose sheets each hold one number.
    std::string MakeWorkbook(const std::string& relative, int sheetCount);

    TScratchDir Scratch;
    std::string ProgramDir;   // Scratch/program/
    QString SettingsFile;     // Scratch/settings/quillon.ini
    std::vector<TShownBox> Boxes;
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

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
