#include "WindowTestHelpers.h"

#include <QFileSystemModel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <filesystem>

#include "app/window/ErrorBox.h"
#include "app/window/BatchConversion.h"
#include "fixtures/BiffEncrypt.h"
#include "fixtures/WorkbookBuilder.h"

void TMainFormTest::SetUp()
{
    ProgramDir = MakeDir("program") + "/";
    SettingsFile = QString::fromStdString(MakeDir("settings") + "/quillon.ini");
    SetErrorBoxHook([this](QWidget*, const QString& caption, const QString& text) {
        Boxes.push_back({caption, text});
    });
}

void TFileGate::Install(size_t index)
{
    FIndex = index;
    SetBatchFileHook([this](size_t reached) {
        if (reached != FIndex)
            return;
        std::unique_lock<std::mutex> lock(FMutex);
        FReached = true;
        FOpened.wait(lock, [this] { return FOpen; });
    });
}

bool TFileGate::Reached()
{
    std::lock_guard<std::mutex> lock(FMutex);
    return FReached;
}

void TFileGate::Open()
{
    {
        std::lock_guard<std::mutex> lock(FMutex);
        FOpen = true;
    }
    FOpened.notify_all();
}

void TFileGate::Remove()
{
    Open();
    SetBatchFileHook({});
}

void TMainFormTest::TearDown()
{
    // A worker held at the gate would keep the window from closing.
    Gate.Open();
    Form.reset();
    Gate.Remove();
    SetErrorBoxHook({});
}

std::unique_ptr<TMainForm> TMainFormTest::NewForm(bool showProgramDir)
{
    auto form = std::make_unique<TMainForm>(QString::fromStdString(ProgramDir), SettingsFile);
    if (!showProgramDir || !std::filesystem::is_directory(ProgramDir))
        return form;
    // The tree lists the scratch area in the background. Folders a test makes
    // before that listing arrives would vanish from the tree with it, so wait.
    bool loaded = false;
    const QString root = QString::fromStdString(Scratch.Path().string());
    const QMetaObject::Connection watch =
        QObject::connect(form->FolderModel, &QFileSystemModel::directoryLoaded, form.get(),
                         [&](const QString& path) { loaded = loaded || path == root; });
    form->SelectFolder(QString::fromStdString(ProgramDir));
    (void)QTest::qWaitFor([&] { return loaded; }, 10000);
    QObject::disconnect(watch);
    return form;
}

std::string TMainFormTest::MakeDir(const std::string& relative)
{
    const std::filesystem::path path = Scratch.Path() / relative;
    std::filesystem::create_directories(path);
    return path.string();
}

std::string TMainFormTest::MakeFile(const std::string& relative, const std::string& bytes)
{
    const std::filesystem::path path = Scratch.Path() / relative;
    std::filesystem::create_directories(path.parent_path());
    WriteWholeFile(path.string(), bytes);
    return path.string();
}

std::string TMainFormTest::MakeWorkbook(const std::string& relative, int sheetCount)
{
    TWorkbookBuilder book;
    for (int i = 0; i < sheetCount; ++i)
        book.Sheet(u"Blatt" + std::u16string(1, char16_t(u'1' + i))).Number(0, 0, i + 1.5);
    const std::filesystem::path path = Scratch.Path() / relative;
    std::filesystem::create_directories(path.parent_path());
    WriteWholeFile(path.string(), book.FileBytes());
    return path.string();
}

std::string TMainFormTest::MakeEncryptedWorkbook(const std::string& relative, const std::u16string& password)
{
    TWorkbookBuilder book;
    book.Sheet(u"Geheim").Number(0, 0, 42);
    TEncryptOptions options;
    options.Password = password;
    const std::filesystem::path path = Scratch.Path() / relative;
    std::filesystem::create_directories(path.parent_path());
    WriteWholeFile(path.string(), XlsFileBytes(EncryptWorkbookStream(book.Stream(), options)));
    return path.string();
}

void ConvertAndWait(TMainForm& form)
{
    QTest::mouseClick(form.GoBtn1, Qt::LeftButton);
    // Generous: CI runs these tests beside others on two cores.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.BatchRunning(); }, 60000)) << "the batch did not end";
}

namespace {

// The model sorts a folder's entries a little after listing them: folders
// first, then by name without regard to case (for the names the tests use).
bool PaneIsSorted(TMainForm& form)
{
    const QModelIndex root = form.FilePane->rootIndex();
    for (int row = 1; row < form.FileModel->rowCount(root); ++row) {
        const QModelIndex before = form.FileModel->index(row - 1, 0, root), after = form.FileModel->index(row, 0, root);
        const bool beforeDir = form.FileModel->isDir(before), afterDir = form.FileModel->isDir(after);
        if (beforeDir != afterDir) {
            if (!beforeDir)
                return false;
        } else if (form.FileModel->fileName(before).compare(form.FileModel->fileName(after), Qt::CaseInsensitive) > 0) {
            return false;
        }
    }
    return true;
}

} // namespace

QStringList PaneNames(TMainForm& form, int atLeast)
{
    QStringList names;
    (void)QTest::qWaitFor([&] {
        names.clear();
        const QModelIndex root = form.FilePane->rootIndex();
        for (int row = 0; row < form.FileModel->rowCount(root); ++row)
            names << form.FileModel->fileName(form.FileModel->index(row, 0, root));
        return names.size() >= atLeast;
    }, 5000);
    names.sort();
    return names;
}

QModelIndex WaitForPaneEntry(TMainForm& form, const QString& name)
{
    QModelIndex found;
    (void)QTest::qWaitFor([&] {
        const QModelIndex root = form.FilePane->rootIndex();
        for (int row = 0; row < form.FileModel->rowCount(root); ++row) {
            const QModelIndex index = form.FileModel->index(row, 0, root);
            if (form.FileModel->fileName(index) == name && PaneIsSorted(form)) {
                found = index;
                return true;
            }
        }
        return false;
    }, 5000);
    return found;
}

void SelectInPane(TMainForm& form, const QString& folder, const QStringList& names)
{
    form.SelectFolder(folder);
    ASSERT_EQ(form.SelectedFolder(), folder);
    form.FilePane->clearSelection();
    for (const QString& name : names) {
        const QModelIndex index = WaitForPaneEntry(form, name);
        ASSERT_TRUE(index.isValid()) << name.toStdString();
        form.FilePane->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        form.FilePane->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    }
}

namespace {
QStringList LinesOf(const QListWidget* list)
{
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}
} // namespace

QStringList ListLines(const TMainForm& form)
{
    return LinesOf(form.ImageList);
}

std::vector<int> SelectedRows(const TMainForm& form)
{
    std::vector<int> rows;
    for (int i = 0; i < form.ImageList->count(); ++i) {
        if (form.ImageList->item(i)->isSelected())
            rows.push_back(i);
    }
    return rows;
}

QStringList FavouriteLines(const TMainForm& form)
{
    return LinesOf(form.PrefListBox);
}

QStringList StatusLines(const TMainForm& form)
{
    const QString text = form.Memo1->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}
