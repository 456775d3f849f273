// Favourite folders in the window and folders.dat, and the settings that
// outlive the window: the target directory and the window's placement.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTest>
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

TEST_F(MainFormSettings, UnwritableFolderFileLeavesTheListChanged)
{
    MakeSources({"a"});
    ProgramDir = (Scratch.Path() / "absent").string() + "/";
    Form = NewForm();
    AddFrom("a");
    EXPECT_EQ(FavouriteLines(*Form), QStringList {Folder("a")});
    EXPECT_FALSE(std::filesystem::exists(FoldersDat()));
    EXPECT_TRUE(Boxes.empty()) << "silent";
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
