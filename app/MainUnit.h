// TMainForm: the main window. On the first page the user browses folders and
// collects .xls files in the conversion list; on the second the user picks a
// target directory and converts every sheet of every listed workbook into an
// HTML page, each step reported in the status box.
#pragma once

#include <QMainWindow>
#include <QString>
#include <memory>
#include <string>

#include "app/DynaArray.h"
#include "app/PrefFolders.h"

class QFileDialog;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QToolButton;
class QTreeView;
class TBatchConversion;
class TGaugePanel;
class TInfoBox;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // `programDir` stands for the executable's directory and `settingsFile`
    // for the INI file at the platform's default place; tests pass their own.
    explicit TMainForm(const QString& programDir = {}, const QString& settingsFile = {},
                       QWidget* parent = nullptr);
    ~TMainForm() override;

    // The directory of the executable with a trailing "/".
    std::string ProgramDir;

    // The conversion list: elements are char* to separately allocated,
    // zero-terminated copies of the full paths. CurrentFile points at the
    // element the last positioning step reached.
    std::unique_ptr<TDynaArray> FileList;
    void* CurrentFile = nullptr;
    // The path of the element CurrentFile points at.
    const char* CurrentPath() const;
    int ProgressPercent() const;

    // True from "Konvertieren" until the batch has written its count line.
    bool BatchRunning() const;

    // The folder selected in the folder tree ("/"-separated, no trailing "/"
    // unless it is the root); empty when none is.
    QString SelectedFolder() const;
    // Selects the folder in the tree; the file pane follows.
    void SelectFolder(const QString& folder);

    // The window's parts, named as the handlers refer to them.
    QTabWidget* PageControl = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet4 = nullptr;
    QListWidget* PrefListBox = nullptr;
    QFileSystemModel* FolderModel = nullptr;
    QTreeView* FolderTree = nullptr;
    QFileSystemModel* FileModel = nullptr;
    QTreeView* FilePane = nullptr;
    QSplitter* Splitter = nullptr;
    QPushButton* AddBtn = nullptr;
    QPushButton* DelBtn = nullptr;
    QPushButton* KonvertBtn = nullptr;
    QListWidget* ImageList = nullptr;
    QLineEdit* DirectoryEdit1 = nullptr;
    QToolButton* DirectoryEdit1Button = nullptr;
    QPushButton* GoBtn1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* WebBtn = nullptr;
    QPushButton* AboutBtn = nullptr;
    QPushButton* EndeBtn = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    TGaugePanel* StatusPanel2 = nullptr;
    TInfoBox* InfoBox = nullptr;

signals:
    // A batch has ended (after its count line and its box, if any).
    void BatchFinished();

public slots:
    void AddBtnClick();
    void DelBtnClick();
    void KonvertBtnClick();
    void GoBtn1Click();
    void AboutBtnClick();
    void EndeBtnClick();
    void PrefListBoxDblClick();
    void DirectoryEdit1ButtonClick();
    // Sets the status-bar gauge to `percent` (0..100).
    void SetProStatus(int percent);

public:
    void UpdateListBox();
    // Appends the workbooks (full paths) to the conversion list.
    void AddFiles(const QStringList& paths);
    void AddToPrefFolders(const QString& folder);
    // Removes the selected favourite (Delete key, "Entfernen" in its context menu).
    void RemovePrefFolder();
    // The folder chooser of the target directory, at its current text.
    QFileDialog* NewFolderChooser();
    void SaveSettings();
    void RestoreSettings();

protected:
    void setVisible(bool visible) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* CreateSelectionPage();
    QWidget* CreateConversionPage();
    void CreateStatusBar();
    void FormCreate(const QString& programDir);
    void FilePaneDblClick();
    void ImageListKeyDown(int key);
    void AddPath(const std::string& path);
    void AppendStatusLine(const QString& line);
    void SetBatchControls(bool running);
    void BatchEnded();
    TPrefFolderFiles PrefFolderFiles() const;
    TPrefFolderList PrefListLines() const;
    void SavePrefListBox() const;
    void ScrollTreeToSelection();

    QString FSettingsFile;
    bool FSettingsRestored = false;
    TBatchConversion* FBatch = nullptr; // a child while a batch runs
    bool FCloseWhenBatchEnds = false;
    // The tree lists folders in the background: keep its selection in view as
    // they arrive, until the user scrolls or clicks in it.
    bool FKeepSelectionInView = false;
};
