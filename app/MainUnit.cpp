#include "app/MainUnit.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>
#include <vector>

#include "app/Conversion.h"
#include "app/InfoBox.h"
#include "app/PrefFolders.h"
#include "app/window/AppIcon.h"
#include "app/window/BatchConversion.h"
#include "app/window/ErrorBox.h"
#include "app/window/FilePaneModel.h"
#include "app/window/GaugePanel.h"
#include "app/window/PasswordPrompt.h"
#include "platform/FileSystem.h"

namespace {

constexpr int FormWidth = 638;
constexpr int FormHeight = 512;
constexpr int StatusPanel1Width = 250;
const char* const SettingsSection = "TMainForm";

std::string ToPath(const QString& text)
{
    return QFile::encodeName(text).toStdString();
}

QString FromPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QString FileNamePart(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QLabel* HeaderLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

std::unique_ptr<QSettings> OpenSettings(const QString& settingsFile)
{
    if (!settingsFile.isEmpty())
        return std::make_unique<QSettings>(settingsFile, QSettings::IniFormat);
    // quillon.ini at the platform's default place for the user's INI files.
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("quillon"));
}

// The settings key of the folder last shown in the file pane.
const char* const LastFolderKey = "LastFolder";

} // namespace

TMainForm::TMainForm(const QString& programDir, const QString& settingsFile, QWidget* parent)
    : QMainWindow(parent), FSettingsFile(settingsFile)
{
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(QStringLiteral("Quillon 1.0"));
    setWindowIcon(QuillonIcon());

    auto* central = new QWidget(this);
    PageControl = new QTabWidget(central);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    TabSheet1 = CreateSelectionPage();
    TabSheet4 = CreateConversionPage();
    PageControl->addTab(TabSheet1, QStringLiteral("Excel Tabellen auswählen"));
    PageControl->addTab(TabSheet4, QStringLiteral("In HTML Dateien konvertieren"));

    WebBtn = new QPushButton(QuillonIcon(), QUrl(QString::fromLatin1(QuillonWebAddress)).host(), central);
    WebBtn->setObjectName(QStringLiteral("WebBtn"));
    WebBtn->setFlat(true);
    WebBtn->setCursor(Qt::PointingHandCursor);
    AboutBtn = new QPushButton(QStringLiteral("Über das Programm"), central);
    AboutBtn->setObjectName(QStringLiteral("AboutBtn"));
    EndeBtn = new QPushButton(QStringLiteral("Beenden"), central);
    EndeBtn->setObjectName(QStringLiteral("EndeBtn"));
    connect(WebBtn, &QPushButton::clicked, this, [] { OpenQuillonWebPage(); });
    connect(AboutBtn, &QPushButton::clicked, this, &TMainForm::AboutBtnClick);
    connect(EndeBtn, &QPushButton::clicked, this, &TMainForm::EndeBtnClick);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(WebBtn);
    buttons->addStretch(1);
    buttons->addWidget(AboutBtn);
    buttons->addWidget(EndeBtn);

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 4);
    layout->addWidget(PageControl, 1);
    layout->addLayout(buttons);
    setCentralWidget(central);
    CreateStatusBar();

    resize(FormWidth, FormHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    FormCreate(programDir);
    InfoBox = new TInfoBox(this);
}

TMainForm::~TMainForm()
{
    if (FBatch) {
        // Nothing of the batch may reach this window any more; its file ends first.
        disconnect(FBatch, nullptr, this, nullptr);
        FBatch->Cancel();
        delete FBatch;
    }
    SaveSettings();
    FileList->First();
    while (FileList->Next())
        delete[] *static_cast<char**>(CurrentFile);
    FileList.reset();
}

QWidget* TMainForm::CreateSelectionPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));

    auto* header = HeaderLabel(
        QStringLiteral("Excel Dateien hinzufügen - Dateien markieren und auf \"Hinzufügen\" klicken"), page);

    auto* prefLabel = new QLabel(QStringLiteral("Lieblings Ordner:"), page);
    PrefListBox = new QListWidget(page);
    PrefListBox->setObjectName(QStringLiteral("PrefListBox"));
    PrefListBox->setSelectionMode(QAbstractItemView::SingleSelection);
    PrefListBox->setFixedHeight(PrefListBox->fontMetrics().height() * 3 + 8);
    PrefListBox->installEventFilter(this);
    PrefListBox->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* removeFavourite = new QAction(QStringLiteral("Entfernen"), PrefListBox);
    removeFavourite->setObjectName(QStringLiteral("PrefListBoxRemove"));
    connect(removeFavourite, &QAction::triggered, this, &TMainForm::RemovePrefFolder);
    PrefListBox->addAction(removeFavourite);
    connect(PrefListBox, &QListWidget::itemDoubleClicked, this, &TMainForm::PrefListBoxDblClick);
    auto* prefRow = new QHBoxLayout;
    prefRow->addWidget(prefLabel, 0, Qt::AlignTop);
    prefRow->addWidget(PrefListBox, 1);

    FolderModel = new QFileSystemModel(this);
    FolderModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    FolderModel->setRootPath(QStringLiteral("/"));
    FolderTree = new QTreeView;
    FolderTree->setObjectName(QStringLiteral("FolderTree"));
    FolderTree->setModel(FolderModel);
    FolderTree->setHeaderHidden(true);
    // Folders by name, not in the order the listing happens to bring them.
    FolderTree->setSortingEnabled(true);
    FolderTree->sortByColumn(0, Qt::AscendingOrder);
    for (int column = 1; column < FolderModel->columnCount(); ++column)
        FolderTree->hideColumn(column);
    FolderTree->setSelectionMode(QAbstractItemView::SingleSelection);
    FolderTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FolderTree->viewport()->installEventFilter(this);
    // Folders filled in and sorted move the selection: follow it, once the
    // view has laid out the change.
    const auto followSelection = [this] {
        if (FKeepSelectionInView)
            QTimer::singleShot(0, this, &TMainForm::ScrollTreeToSelection);
    };
    connect(FolderModel, &QFileSystemModel::directoryLoaded, this, followSelection);
    connect(FolderModel, &QFileSystemModel::layoutChanged, this, followSelection);

    FileModel = new TFilePaneModel(this);
    FileModel->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot | QDir::Drives);
    // .XLS files are as common as .xls ones here: match without regard to case.
    FileModel->setNameFilters({QStringLiteral("*.[xX][lL][sS]")});
    FileModel->setNameFilterDisables(false);
    FilePane = new QTreeView;
    FilePane->setObjectName(QStringLiteral("FilePane"));
    FilePane->setModel(FileModel);
    FilePane->setRootIsDecorated(false);
    FilePane->setItemsExpandable(false);
    FilePane->setSortingEnabled(true);
    FilePane->sortByColumn(0, Qt::AscendingOrder);
    FilePane->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FilePane->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Name, size and date fit the pane; the type column only repeats the filter.
    FilePane->hideColumn(TFilePaneModel::TypeColumn);
    FilePane->header()->setStretchLastSection(false);
    FilePane->header()->setSectionResizeMode(TFilePaneModel::NameColumn, QHeaderView::Stretch);
    FilePane->header()->setSectionResizeMode(TFilePaneModel::SizeColumn, QHeaderView::ResizeToContents);
    FilePane->header()->setSectionResizeMode(TFilePaneModel::DateColumn, QHeaderView::ResizeToContents);
    FilePane->installEventFilter(this);
    connect(FilePane, &QTreeView::doubleClicked, this, &TMainForm::FilePaneDblClick);

    connect(FolderTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                const QString folder = FolderModel->filePath(current);
                FilePane->setRootIndex(FileModel->setRootPath(folder));
            });

    Splitter = new QSplitter(Qt::Horizontal, page);
    Splitter->setObjectName(QStringLiteral("Splitter"));
    Splitter->addWidget(FolderTree);
    Splitter->addWidget(FilePane);
    Splitter->setStretchFactor(0, 2);
    Splitter->setStretchFactor(1, 3);
    Splitter->setSizes({240, 360});
    Splitter->setChildrenCollapsible(false);

    AddBtn = new QPushButton(QStringLiteral("&Hinzufügen"), page);
    AddBtn->setObjectName(QStringLiteral("AddBtn"));
    DelBtn = new QPushButton(QStringLiteral("&Löschen"), page);
    DelBtn->setObjectName(QStringLiteral("DelBtn"));
    DelBtn->setEnabled(false);
    KonvertBtn = new QPushButton(QStringLiteral("In HTML Dateien konvertieren..."), page);
    KonvertBtn->setObjectName(QStringLiteral("KonvertBtn"));
    connect(AddBtn, &QPushButton::clicked, this, &TMainForm::AddBtnClick);
    connect(DelBtn, &QPushButton::clicked, this, &TMainForm::DelBtnClick);
    connect(KonvertBtn, &QPushButton::clicked, this, &TMainForm::KonvertBtnClick);

    ImageList = new QListWidget(page);
    ImageList->setObjectName(QStringLiteral("ImageList"));
    ImageList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ImageList->installEventFilter(this);

    auto* listButtons = new QVBoxLayout;
    listButtons->addWidget(AddBtn);
    listButtons->addWidget(DelBtn);
    listButtons->addStretch(1);
    listButtons->addWidget(KonvertBtn);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(ImageList, 1);
    listRow->addLayout(listButtons);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(header);
    layout->addLayout(prefRow);
    layout->addWidget(Splitter, 3);
    layout->addLayout(listRow, 2);
    return page;
}

QWidget* TMainForm::CreateConversionPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet4"));

    auto* header = HeaderLabel(QStringLiteral("Excel Dateien konvertieren - Geben Sie das Zielverzeichnis an und "
                                              "klicken Sie auf \"konvertieren\""),
                               page);
    header->setWordWrap(true);

    auto* panel = new QFrame(page);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    QPalette panelColours = panel->palette();
    panelColours.setColor(QPalette::Window, QColor(0, 0, 128));
    panelColours.setColor(QPalette::WindowText, Qt::white);
    panel->setPalette(panelColours);
    auto* picture = new QLabel(panel);
    picture->setPixmap(QuillonIcon().pixmap(48, 48));
    auto* panelText = HeaderLabel(QStringLiteral("Excel Dateien konvertieren..."), panel);
    QFont panelFont = panelText->font();
    panelFont.setPointSizeF(panelFont.pointSizeF() * 1.4);
    panelText->setFont(panelFont);
    auto* panelLayout = new QHBoxLayout(panel);
    panelLayout->addWidget(picture);
    panelLayout->addWidget(panelText, 1);

    auto* targetLabel = new QLabel(QStringLiteral("Zielverzeichnis:"), page);
    DirectoryEdit1 = new QLineEdit(page);
    DirectoryEdit1->setObjectName(QStringLiteral("DirectoryEdit1"));
    DirectoryEdit1Button = new QToolButton(page);
    DirectoryEdit1Button->setObjectName(QStringLiteral("DirectoryEdit1Button"));
    DirectoryEdit1Button->setText(QStringLiteral("..."));
    connect(DirectoryEdit1Button, &QToolButton::clicked, this, &TMainForm::DirectoryEdit1ButtonClick);
    GoBtn1 = new QPushButton(QStringLiteral("Konvertieren"), page);
    GoBtn1->setObjectName(QStringLiteral("GoBtn1"));
    connect(GoBtn1, &QPushButton::clicked, this, &TMainForm::GoBtn1Click);

    auto* targetRow = new QHBoxLayout;
    targetRow->addWidget(targetLabel);
    targetRow->addWidget(DirectoryEdit1, 1);
    targetRow->addWidget(DirectoryEdit1Button);
    targetRow->addSpacing(12);
    targetRow->addWidget(GoBtn1);

    auto* helpLabel = new QLabel(QStringLiteral("Der Aufruf per Kommandozeile ist auch möglich:"), page);
    auto* helpCommand = new QLabel(QStringLiteral("quillon /pfad/test.xls /pfad/out/out.htm"), page);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    helpCommand->setFont(fixed);
    helpCommand->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* statusLabel = new QLabel(QStringLiteral("Statusmeldungen:"), page);
    Memo1 = new QPlainTextEdit(page);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(header);
    layout->addWidget(panel);
    layout->addLayout(targetRow);
    layout->addWidget(helpLabel);
    layout->addWidget(helpCommand);
    layout->addWidget(statusLabel);
    layout->addWidget(Memo1, 1);
    return page;
}

void TMainForm::CreateStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel1 = new QLabel(StatusBar1);
    StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    StatusPanel1->setFixedWidth(StatusPanel1Width);
    StatusPanel1->setFrameShape(QFrame::StyledPanel);
    StatusPanel2 = new TGaugePanel(StatusBar1);
    StatusBar1->addWidget(StatusPanel1);
    StatusBar1->addWidget(StatusPanel2);
    setStatusBar(StatusBar1);
}

void TMainForm::FormCreate(const QString& programDir)
{
    ProgramDir = WithTrailingSlash(programDir.isEmpty() ? ProgramDirectory() : ToPath(programDir));
    // The tree starts where the user left it, else at home.
    const QString lastFolder =
        OpenSettings(FSettingsFile)->value(QString::fromLatin1(SettingsSection) + u'/' + LastFolderKey).toString();
    SelectFolder(!lastFolder.isEmpty() && QFileInfo(lastFolder).isDir() ? lastFolder : QDir::homePath());
    for (const std::u16string& folder : LoadPrefFolders(PrefFolderFiles()))
        PrefListBox->addItem(QString::fromStdU16String(folder));
    DirectoryEdit1->setText(FromPath(DocumentsDirectory()));
    FileList = std::make_unique<TDynaArray>(sizeof(char*), &CurrentFile);
}

const char* TMainForm::CurrentPath() const
{
    return CurrentFile ? *static_cast<char* const*>(CurrentFile) : nullptr;
}

int TMainForm::ProgressPercent() const
{
    return StatusPanel2->ProgressPercent();
}

QString TMainForm::SelectedFolder() const
{
    const QModelIndex current = FolderTree->currentIndex();
    return current.isValid() ? FolderModel->filePath(current) : QString();
}

void TMainForm::SelectFolder(const QString& folder)
{
    const QModelIndex index = FolderModel->index(QDir::cleanPath(folder));
    if (!index.isValid())
        return;
    FolderTree->setCurrentIndex(index);
    FKeepSelectionInView = true;
    ScrollTreeToSelection();
}

void TMainForm::ScrollTreeToSelection()
{
    const QModelIndex current = FolderTree->currentIndex();
    if (current.isValid())
        FolderTree->scrollTo(current, QAbstractItemView::PositionAtCenter);
}

// ---- The conversion list ---------------------------------------------------

void TMainForm::AddPath(const std::string& path)
{
    FileList->Append();
    char* copy = new char[path.size() + 1];
    std::memcpy(copy, path.c_str(), path.size() + 1);
    *static_cast<char**>(CurrentFile) = copy;
}

void TMainForm::AddBtnClick()
{
    if (BatchRunning())
        return;
    std::vector<QModelIndex> marked;
    for (const QModelIndex& index : FilePane->selectionModel()->selectedRows(0)) {
        if (!FileModel->isDir(index))
            marked.push_back(index);
    }
    std::sort(marked.begin(), marked.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });

    for (const QModelIndex& index : marked) {
        QString folder = SelectedFolder();
        if (!folder.endsWith(u'/'))
            folder += u'/';
        AddToPrefFolders(folder);
        AddPath(ToPath(folder + FileModel->fileName(index)));
    }
    UpdateListBox();
}

void TMainForm::AddFiles(const QStringList& paths)
{
    for (const QString& path : paths)
        AddPath(ToPath(path));
    UpdateListBox();
}

void TMainForm::UpdateListBox()
{
    ImageList->clear();
    FileList->First();
    while (FileList->Next())
        ImageList->addItem(FileNamePart(FromPath(CurrentPath())));
    DelBtn->setEnabled(FileList->Count() > 0);
    if (FileList->Count() > 0) {
        ImageList->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    }
}

void TMainForm::DelBtnClick()
{
    if (BatchRunning())
        return;
    // From the end, so the indices of the lines still to test stay valid.
    for (int i = std::min(ImageList->count(), FileList->Count()) - 1; i >= 0; --i) {
        if (!ImageList->item(i)->isSelected())
            continue;
        FileList->Seek(i);
        delete[] *static_cast<char**>(CurrentFile);
        FileList->Delete(i);
    }
    UpdateListBox();
}

void TMainForm::ImageListKeyDown(int key)
{
    if (key == Qt::Key_Delete)
        DelBtnClick();
}

void TMainForm::FilePaneDblClick()
{
    const QModelIndex current = FilePane->currentIndex();
    if (current.isValid() && FileModel->isDir(current))
        SelectFolder(FileModel->filePath(current));
    else
        AddBtnClick();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (watched == ImageList && key == Qt::Key_Delete) {
            ImageListKeyDown(key);
            return true;
        }
        // The pane never edits item labels (no edit triggers), so Enter is always ours.
        if (watched == FilePane && enter) {
            FilePaneDblClick();
            return true;
        }
        if (watched == PrefListBox && enter) {
            PrefListBoxDblClick();
            return true;
        }
        if (watched == PrefListBox && key == Qt::Key_Delete) {
            RemovePrefFolder();
            return true;
        }
    }
    // The user moves about in the tree: leave the view where they put it.
    if (FolderTree && watched == FolderTree->viewport() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel))
        FKeepSelectionInView = false;
    return QMainWindow::eventFilter(watched, event);
}

// ---- Favourite folders -------------------------------------------------------

TPrefFolderFiles TMainForm::PrefFolderFiles() const
{
    // Beside the settings file, in a folder of its own.
    const QString configDir = QFileInfo(OpenSettings(FSettingsFile)->fileName()).absolutePath();
    return {ProgramDir + "folders.dat", ToPath(configDir + QStringLiteral("/quillon/folders.dat"))};
}

TPrefFolderList TMainForm::PrefListLines() const
{
    TPrefFolderList folders;
    for (int i = 0; i < PrefListBox->count(); ++i)
        folders.push_back(PrefListBox->item(i)->text().toStdU16String());
    return folders;
}

void TMainForm::SavePrefListBox() const
{
    const TPrefFolderList folders = PrefListLines();
    // A file that cannot be written leaves the list changed and the file as it was.
    SavePrefFolders(PrefFolderFiles(), folders);
}

void TMainForm::AddToPrefFolders(const QString& folder)
{
    TPrefFolderList folders = PrefListLines();
    MoveToTopOfPrefFolders(folders, folder.toStdU16String());

    PrefListBox->clear();
    for (const std::u16string& line : folders)
        PrefListBox->addItem(QString::fromStdU16String(line));
    SavePrefListBox();
}

void TMainForm::RemovePrefFolder()
{
    const int row = PrefListBox->currentRow();
    if (row < 0 || row >= PrefListBox->count() || !PrefListBox->item(row)->isSelected())
        return;
    delete PrefListBox->takeItem(row);
    // The next favourite takes its place, so Delete can go on.
    if (PrefListBox->count() > 0)
        PrefListBox->setCurrentRow(std::min(row, PrefListBox->count() - 1));
    SavePrefListBox();
}

void TMainForm::PrefListBoxDblClick()
{
    const int row = PrefListBox->currentRow();
    if (row < 0 || row >= PrefListBox->count() || !PrefListBox->item(row)->isSelected())
        return;
    SelectFolder(PrefListBox->item(row)->text());
}

// ---- Batch conversion ----------------------------------------------------------

void TMainForm::KonvertBtnClick()
{
    PageControl->setCurrentWidget(TabSheet4);
}

QFileDialog* TMainForm::NewFolderChooser()
{
    auto* chooser = new QFileDialog(this, QStringLiteral("Zielverzeichnis wählen"), DirectoryEdit1->text());
    chooser->setFileMode(QFileDialog::Directory);
    chooser->setOption(QFileDialog::ShowDirsOnly);
    return chooser;
}

void TMainForm::DirectoryEdit1ButtonClick()
{
    const std::unique_ptr<QFileDialog> chooser(NewFolderChooser());
    if (chooser->exec() == QDialog::Accepted && !chooser->selectedFiles().isEmpty())
        DirectoryEdit1->setText(chooser->selectedFiles().constFirst());
}

void TMainForm::AppendStatusLine(const QString& line)
{
    Memo1->appendPlainText(line);
}

void TMainForm::SetProStatus(int percent)
{
    const bool shrinks = percent < StatusPanel2->ProgressPercent();
    StatusPanel2->SetProgressPercent(percent);
    if (shrinks)
        StatusBar1->update();
    else
        StatusPanel2->update(StatusPanel2->ProgressRect());
}

bool TMainForm::BatchRunning() const
{
    return FBatch != nullptr;
}

void TMainForm::SetBatchControls(bool running)
{
    for (QWidget* control : std::initializer_list<QWidget*> {AddBtn, ImageList, DirectoryEdit1, DirectoryEdit1Button})
        control->setEnabled(!running);
    DelBtn->setEnabled(!running && FileList->Count() > 0);
    GoBtn1->setText(running ? QStringLiteral("Abbrechen") : QStringLiteral("Konvertieren"));
}

void TMainForm::GoBtn1Click()
{
    // During a batch the button is "Abbrechen".
    if (FBatch) {
        FBatch->Cancel();
        return;
    }
    std::string targetDir = ToPath(DirectoryEdit1->text());
    if (targetDir.empty())
        targetDir = ProgramDir;
    try {
        PrepareTargetDirectory(targetDir);
    } catch (const EDirectoryError& error) {
        ShowErrorBox(this, QStringLiteral("Fehler"), QString::fromUtf8(error.what()));
        return;
    }

    std::vector<std::string> paths;
    FileList->First();
    while (FileList->Next())
        paths.emplace_back(CurrentPath());
    FBatch = new TBatchConversion(std::move(paths), WithTrailingSlash(targetDir),
                                  [this](const QString& path) { return AskPassword(this, path); }, this);
    connect(FBatch, &TBatchConversion::StatusLine, this, &TMainForm::AppendStatusLine);
    connect(FBatch, &TBatchConversion::Progress, this, &TMainForm::SetProStatus);
    connect(FBatch, &TBatchConversion::Finished, this, &TMainForm::BatchEnded);
    SetBatchControls(true);
    FBatch->Start();
}

void TMainForm::BatchEnded()
{
    const int failed = FBatch->FailedCount();
    FBatch->deleteLater();
    FBatch = nullptr;
    SetBatchControls(false);
    // One box for the whole batch, unless the user is closing the window.
    if (failed > 0 && !FCloseWhenBatchEnds) {
        ShowErrorBox(this, QStringLiteral("Quillon"),
                     failed == 1 ? QStringLiteral("1 Datei konnte nicht konvertiert werden; die Statusmeldungen "
                                                  "nennen den Grund.")
                                 : QStringLiteral("%1 Dateien konnten nicht konvertiert werden; die Statusmeldungen "
                                                  "nennen die Gründe.")
                                       .arg(failed));
    }
    emit BatchFinished();
    if (FCloseWhenBatchEnds)
        close();
}

// ---- Stored settings -------------------------------------------------------------


void TMainForm::SaveSettings()
{
    auto settings = OpenSettings(FSettingsFile);
    settings->beginGroup(QString::fromLatin1(SettingsSection));
    settings->setValue(QStringLiteral("DirectoryEdit1_Text"), DirectoryEdit1->text());
    if (!SelectedFolder().isEmpty())
        settings->setValue(QString::fromLatin1(LastFolderKey), SelectedFolder());
    settings->setValue(QStringLiteral("Geometry"), saveGeometry());
    settings->setValue(QStringLiteral("State"), saveState());
    settings->endGroup();
    settings->sync();
}

void TMainForm::RestoreSettings()
{
    auto settings = OpenSettings(FSettingsFile);
    settings->beginGroup(QString::fromLatin1(SettingsSection));
    if (settings->contains(QStringLiteral("DirectoryEdit1_Text")))
        DirectoryEdit1->setText(settings->value(QStringLiteral("DirectoryEdit1_Text")).toString());
    if (settings->contains(QStringLiteral("Geometry")))
        restoreGeometry(settings->value(QStringLiteral("Geometry")).toByteArray());
    if (settings->contains(QStringLiteral("State")))
        restoreState(settings->value(QStringLiteral("State")).toByteArray());
    settings->endGroup();
}

void TMainForm::setVisible(bool visible)
{
    // Restored once, before the window first appears.
    if (visible && !FSettingsRestored) {
        FSettingsRestored = true;
        RestoreSettings();
    }
    QMainWindow::setVisible(visible);
    // Laid out only now: bring the tree's selection into view once more.
    if (visible)
        QTimer::singleShot(0, this, &TMainForm::ScrollTreeToSelection);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // Closing during a batch ends it after the current file, then closes.
    if (FBatch) {
        FCloseWhenBatchEnds = true;
        FBatch->Cancel();
        event->ignore();
        return;
    }
    SaveSettings();
    event->accept();
}

void TMainForm::AboutBtnClick()
{
    InfoBox->exec();
}

void TMainForm::EndeBtnClick()
{
    close();
}

