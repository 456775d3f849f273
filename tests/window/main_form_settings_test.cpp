// Favourite folders in the window and folders.dat, and the settings that
// outlive the window: the target directory, the window's placement and the
// folder the tree starts at.
#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTreeView>
#include <QFileInfo>
#include <QFileSystemModel>
#include <filesystem>

#include "WindowTestHelpers.h"
#include "platform/FileSystem.h"

namespace {

class MainFormSettings : public TMainFormTest {
protected:
    // Folders under src/ with the files a.xls, 1.xls, 2.xls and 3.xls, made
    // before the window so that the tree lists them from the start.
    void MakeSources(const std::vector<std::string>& folders)
    {
        for (const std::string& folder : folders) {
            for (const char* name : {"a.xls", "1.xls", "2.xls", "3.xls"})
                MakeFile("src/" + folder + "/" + name);
        }
    }

    // Adds the files of src/`folder` to the list.
    void AddFrom(const std::string& folder, const QStringList& names = {"a.xls"})
    {
        ASSERT_NO_FATAL_FAILURE(SelectInPane(*Form, Folder(folder).chopped(1), names));
        QTest::mouseClick(Form->AddBtn, Qt::LeftButton);
    }

    // The favourite of src/`folder`.
    QString Folder(const std::string& folder)
    {
        return QString::fromStdString((Scratch.Path() / "src" / folder).string() + "/");
    }

    std::string FoldersDat() { return ProgramDir + "folders.dat"; }
    // The place of folders.dat when the program directory cannot be written.
    std::string UserFoldersDat() { return (Scratch.Path() / "settings/quillon/folders.dat").string(); }

    std::string Text(const std::string& path)
    {
        const std::vector<uint8_t> bytes = ReadWholeFile(path);
        return std::string(bytes.begin(), bytes.end());
    }
};

} // namespace

TEST_F(MainFormSettings, FoldersMoveToTheTopAndTheFileFollowsTheList)
{
    MakeSources({"a", "b"});
    Form = NewForm();
    AddFrom("a", {"1.xls", "2.xls", "3.xls"});
    EXPECT_EQ(FavouriteLines(*Form), QStringList {Folder("a")}) << "three files, one favourite";
    AddFrom("b");
    EXPECT_EQ(FavouriteLines(*Form), (QStringList {Folder("b"), Folder("a")}));
    EXPECT_EQ(Text(FoldersDat()), (Folder("b") + "\r\n" + Folder("a") + "\r\n").toStdString());
    AddFrom("a");
    EXPECT_EQ(FavouriteLines(*Form), (QStringList {Folder("a"), Folder("b")}));
}

TEST_F(MainFormSettings, LetterCaseMakesADifferentFolder)
{
    MakeSources({"A", "a"});
    Form = NewForm();
    AddFrom("A");
    AddFrom("a");
    EXPECT_EQ(FavouriteLines(*Form), (QStringList {Folder("a"), Folder("A")}));
}

TEST_F(MainFormSettings, HandEditedDuplicateLosesOnlyItsLaterLine)
{
    MakeSources({"x"});
    const QString x = Folder("x");
    WriteWholeFile(FoldersDat(), (x + "\r\n/elsewhere/\r\n\r\n" + x + "\r\n").toStdString());
    Form = NewForm();
    EXPECT_EQ(FavouriteLines(*Form), (QStringList {x, "/elsewhere/", "", x})) << "loaded unchanged";
    AddFrom("x");
    EXPECT_EQ(FavouriteLines(*Form), (QStringList {x, x, "/elsewhere/", ""}));
}

TEST_F(MainFormSettings, UnwritableProgramDirectoryKeepsFavouritesInTheUserConfiguration)
{
    MakeSources({"a"});
    ProgramDir = (Scratch.Path() / "absent").string() + "/";
    Form = NewForm();
    AddFrom("a");
    EXPECT_EQ(FavouriteLines(*Form), QStringList {Folder("a")});
    EXPECT_FALSE(std::filesystem::exists(FoldersDat()));
    EXPECT_EQ(Text(UserFoldersDat()), (Folder("a") + "\r\n").toStdString()) << "beside the settings file";
    EXPECT_TRUE(Boxes.empty()) << "silent";

    Form.reset();
    Form = NewForm();
    EXPECT_EQ(FavouriteLines(*Form), QStringList {Folder("a")}) << "read from there after a restart";
}

TEST_F(MainFormSettings, FavouriteWithANonLatinNameSurvivesARestart)
{
    MakeSources({"Фото", "Müller"});
    Form = NewForm();
    AddFrom("Müller");
    EXPECT_EQ(Text(FoldersDat()).front(), '/') << "Windows-1252 while every folder fits";
    AddFrom("Фото");
    EXPECT_EQ(Text(FoldersDat()).substr(0, 3), "\xEF\xBB\xBF");
    Form.reset();

    Form = NewForm();
    EXPECT_EQ(FavouriteLines(*Form), (QStringList {Folder("Фото"), Folder("Müller")}));
    Form->PrefListBox->setCurrentRow(0);
    Form->PrefListBoxDblClick();
    EXPECT_EQ(Form->SelectedFolder(), Folder("Фото").chopped(1)) << "and still leads to its folder";
}

TEST_F(MainFormSettings, DeleteKeyAndEntfernenRemoveTheSelectedFavourite)
{
    WriteWholeFile(FoldersDat(), "/a/\r\n/b/\r\n/c/\r\n/d/\r\n");
    Form = NewForm();
    Form->PrefListBox->setCurrentRow(1);
    QTest::keyClick(Form->PrefListBox, Qt::Key_Delete);
    EXPECT_EQ(FavouriteLines(*Form), (QStringList {"/a/", "/c/", "/d/"}));
    EXPECT_EQ(Text(FoldersDat()), "/a/\r\n/c/\r\n/d/\r\n");
    EXPECT_EQ(Form->PrefListBox->currentRow(), 1) << "the next one takes its place";

    QAction* entfernen = nullptr;
    for (QAction* action : Form->PrefListBox->actions())
        if (action->text() == "Entfernen")
            entfernen = action;
    ASSERT_NE(entfernen, nullptr) << "in the context menu";
    EXPECT_EQ(Form->PrefListBox->contextMenuPolicy(), Qt::ActionsContextMenu);
    Form->PrefListBox->setCurrentRow(2);
    entfernen->trigger();
    EXPECT_EQ(FavouriteLines(*Form), (QStringList {"/a/", "/c/"}));
    EXPECT_EQ(Text(FoldersDat()), "/a/\r\n/c/\r\n");

    Form->PrefListBox->clearSelection();
    QTest::keyClick(Form->PrefListBox, Qt::Key_Delete);
    entfernen->trigger();
    EXPECT_EQ(FavouriteLines(*Form), (QStringList {"/a/", "/c/"})) << "nothing selected, nothing removed";
}

TEST_F(MainFormSettings, TreeStartsAtTheLastFolderShownElseAtHome)
{
    const std::string shown = MakeDir("src/shown");
    Form = NewForm(false);
    EXPECT_EQ(Form->SelectedFolder(), QDir::cleanPath(QDir::homePath())) << "nothing stored yet";
    Form->SelectFolder(QString::fromStdString(shown));
    Form.reset();

    Form = NewForm(false);
    EXPECT_EQ(Form->SelectedFolder().toStdString(), shown);
    Form.reset();

    std::filesystem::remove(shown);
    Form = NewForm(false);
    EXPECT_EQ(Form->SelectedFolder(), QDir::cleanPath(QDir::homePath())) << "a stored folder that is gone";
}

TEST_F(MainFormSettings, TreeScrollsToItsSelection)
{
    for (int i = 0; i < 80; ++i)
        MakeDir("src/many/d" + std::to_string(100 + i));
    const QString deep = QString::fromStdString((Scratch.Path() / "src/many/d175").string());
    {
        QSettings settings(SettingsFile, QSettings::IniFormat);
        settings.setValue("TMainForm/LastFolder", deep);
    }
    Form = NewForm(false);
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    EXPECT_EQ(Form->SelectedFolder(), deep);
    const auto inView = [&] {
        const QRect row = Form->FolderTree->visualRect(Form->FolderTree->currentIndex());
        return row.isValid() && Form->FolderTree->viewport()->rect().contains(row);
    };
    // The tree fills in the folders above in the background; then the
    // selection is far below the first rows.
    const auto rows = [&](const QString& path) { return Form->FolderModel->rowCount(Form->FolderModel->index(path)); };
    const QString many = QFileInfo(deep).path();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rows(many) == 80 && rows("/") > 3; }, 30000));
    EXPECT_TRUE(QTest::qWaitFor(inView, 30000)) << "the selected folder is in view";
}

TEST_F(MainFormSettings, ChoosingAFavouriteShowsItsFolderWithoutMovingIt)
{
    const std::string a = MakeDir("src/a"), b = MakeDir("src/b");
    WriteWholeFile(FoldersDat(), a + "/\r\n" + b + "/\r\n/no/such/folder/\r\n");
    Form = NewForm();
    const QString start = Form->SelectedFolder();

    Form->PrefListBox->clearSelection();
    Form->PrefListBoxDblClick();
    EXPECT_EQ(Form->SelectedFolder(), start) << "nothing selected, nothing happens";

    Form->PrefListBox->setCurrentRow(1);
    QTest::keyClick(Form->PrefListBox, Qt::Key_Return);
    EXPECT_EQ(Form->SelectedFolder(), QString::fromStdString(b));
    EXPECT_EQ(FavouriteLines(*Form)[0], QString::fromStdString(a + "/"));

    Form->PrefListBox->setCurrentRow(2);
    Form->PrefListBoxDblClick();
    EXPECT_EQ(Form->SelectedFolder(), QString::fromStdString(b)) << "a missing folder is not shown";
}

TEST_F(MainFormSettings, TargetDirectoryAndPlacementSurviveARestart)
{
    Form = NewForm();
    EXPECT_EQ(Form->DirectoryEdit1->text().toStdString(), DocumentsDirectory()) << "preset before any run";
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    Form->DirectoryEdit1->setText("/stored/target/");
    Form->resize(700, 560);
    Form->close();
    Form.reset();

    QSettings settings(SettingsFile, QSettings::IniFormat);
    EXPECT_EQ(settings.value("TMainForm/DirectoryEdit1_Text").toString(), QString("/stored/target/"));
    EXPECT_TRUE(settings.contains("TMainForm/Geometry"));

    Form = NewForm();
    EXPECT_NE(Form->DirectoryEdit1->text(), QString("/stored/target/")) << "restored at show, not at creation";
    Form->show();
    EXPECT_EQ(Form->DirectoryEdit1->text(), QString("/stored/target/"));
    EXPECT_EQ(Form->size(), QSize(700, 560));
}
