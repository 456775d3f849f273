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
    // Adds one file of `folder` (created with a.xls and b.xls) to the list.
    void AddFrom(const std::string& folder, const QStringList& names = {"a.xls"})
    {
        const std::string dir = MakeDir(folder);
        for (const QString& name : names)
            MakeFile(folder + "/" + name.toStdString());
        SelectInPane(*Form, QString::fromStdString(dir), names);
        QTest::mouseClick(Form->AddBtn, Qt::LeftButton);
    }

    QString Folder(const std::string& relative) { return QString::fromStdString((Scratch.Path() / relative).string() + "/"); }

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
    Form = NewForm();
    AddFrom("src/a", {"1.xls", "2.xls", "3.xls"});
    EXPECT_EQ(FavouriteLines(*Form), QStringList {Folder("src/a")}) << "three files, one favourite";
    AddFrom("src/b");
    EXPECT_EQ(FavouriteLines(*Form), (QStringList {Folder("src/b"), Folder("src/a")}));
    EXPECT_EQ(Text(FoldersDat()), (Folder("src/b") + "\r\n" + Folder("src/a") + "\r\n").toStdString());
    AddFrom("src/a");
    EXPECT_EQ(FavouriteLines(*Form), (QStringList {Folder("src/a"), Folder("src/b")}));
}

TEST_F(MainFormSettings, LetterCaseMakesADifferentFolder)
{
    Form = NewForm();
    AddFrom("src/A");
    AddFrom("src/a");
    EXPECT_EQ(FavouriteLines(*Form), (QStringList {Folder("src/a"), Folder("src/A")}));
}

TEST_F(MainFormSettings, HandEditedDuplicateLosesOnlyItsLaterLine)
{
    const QString x = Folder("src/x");
    WriteWholeFile(FoldersDat(), (x + "\r\n/elsewhere/\r\n\r\n" + x + "\r\n").toStdString());
    Form = NewForm();
    EXPECT_EQ(FavouriteLines(*Form), (QStringList {x, "/elsewhere/", "", x})) << "loaded unchanged";
    AddFrom("src/x");
    EXPECT_EQ(FavouriteLines(*Form), (QStringList {x, x, "/elsewhere/", ""}));
}

TEST_F(MainFormSettings, UnwritableFolderFileLeavesTheListChanged)
{
    ProgramDir = (Scratch.Path() / "absent").string() + "/";
    Form = NewForm();
    AddFrom("src/a");
    EXPECT_EQ(FavouriteLines(*Form), QStringList {Folder("src/a")});
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
