// The first page: the window at start, the file pane's filter, adding files
// (button, double-click, Enter), deleting entries (button and Delete key).
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include "WindowTestHelpers.h"
#include "app/InfoBox.h"
#include "app/window/GaugePanel.h"
#include "app/window/RunMainWindow.h"
#include <QDate>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QLabel>

namespace {

class MainFormList : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        Source = QString::fromStdString(MakeDir("source"));
        for (const char* name : {"a.xls", "b.XLS", "c.Xls", "notes.txt", "d.xlsx"})
            MakeFile(std::string("source/") + name);
        MakeDir("source/sub");
        Form = NewForm();
    }

    // Adds the files to the list through the pane and the Add button.
    void AddThroughPane(const QStringList& names)
    {
        SelectInPane(*Form, Source, names);
        QTest::mouseClick(Form->AddBtn, Qt::LeftButton);
    }

    QString Source;
};

} // namespace

TEST_F(MainFormList, StartsOnThePageOfTheListWithNothingToDelete)
{
    EXPECT_EQ(Form->windowTitle(), QString("Quillon 1.0"));
    EXPECT_EQ(Form->size(), QSize(638, 512));
    EXPECT_EQ(Form->PageControl->currentWidget(), Form->TabSheet1);
    EXPECT_EQ(Form->PageControl->tabText(0), QString("Excel Tabellen auswählen"));
    EXPECT_EQ(Form->PageControl->tabText(1), QString("In HTML Dateien konvertieren"));
    EXPECT_FALSE(Form->DelBtn->isEnabled());
    EXPECT_EQ(Form->AddBtn->text(), QString("&Hinzufügen"));
    EXPECT_EQ(Form->DelBtn->text(), QString("&Löschen"));
    EXPECT_EQ(Form->FileList->Count(), 0);
    EXPECT_EQ(Form->FileList->ElementSize(), sizeof(char*));
    EXPECT_EQ(Form->ProgramDir, ProgramDir);
    EXPECT_TRUE(FavouriteLines(*Form).isEmpty()) << "no folders.dat, no favourites";
    EXPECT_EQ(Form->StatusPanel1->width(), 250);
    EXPECT_EQ(Form->StatusPanel2->width(), 50);
    EXPECT_EQ(Form->InfoBox->windowTitle(), QString("Info"));
    EXPECT_TRUE(Form->InfoBox->CopyrightLabel->text().contains(QString::number(QDate::currentDate().year())));
}

TEST_F(MainFormList, PaneShowsFoldersAndXlsFilesOfAnyLetterCase)
{
    Form->SelectFolder(Source);
    EXPECT_EQ(PaneNames(*Form, 4), (QStringList {"a.xls", "b.XLS", "c.Xls", "sub"}));
}

TEST_F(MainFormList, AddingTakesTheMarkedFilesInPaneOrderAndAllowsDuplicates)
{
    AddThroughPane({"c.Xls", "a.xls", "sub"});
    EXPECT_EQ(ListLines(*Form), (QStringList {"a.xls", "c.Xls"})) << "pane order, folders not taken";
    AddThroughPane({"a.xls"});
    EXPECT_EQ(ListLines(*Form), (QStringList {"a.xls", "c.Xls", "a.xls"}));

    ASSERT_EQ(Form->FileList->Count(), 3);
    Form->FileList->Seek(2);
    EXPECT_EQ(std::string(Form->CurrentPath()), Source.toStdString() + "/a.xls");
    EXPECT_TRUE(Form->DelBtn->isEnabled());
    EXPECT_EQ(SelectedRows(*Form), std::vector<int> {0});
    EXPECT_EQ(FavouriteLines(*Form), QStringList {Source + "/"}) << "the folder is a favourite once";
}

TEST_F(MainFormList, AddingWithNothingMarkedOnlyRefreshesTheList)
{
    Form->SelectFolder(Source);
    WaitForPaneEntry(*Form, "a.xls");
    Form->FilePane->clearSelection();
    QTest::mouseClick(Form->AddBtn, Qt::LeftButton);
    EXPECT_TRUE(ListLines(*Form).isEmpty());
    EXPECT_FALSE(Form->DelBtn->isEnabled());
    EXPECT_TRUE(FavouriteLines(*Form).isEmpty());
}

TEST_F(MainFormList, DoubleClickOrEnterAddsAFileAndOpensAFolder)
{
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    SelectInPane(*Form, Source, {"b.XLS"});
    QTest::keyClick(Form->FilePane, Qt::Key_Return);
    EXPECT_EQ(ListLines(*Form), QStringList {"b.XLS"});

    const QModelIndex file = WaitForPaneEntry(*Form, "a.xls");
    Form->FilePane->setCurrentIndex(file);
    emit Form->FilePane->doubleClicked(file);
    EXPECT_EQ(ListLines(*Form), (QStringList {"b.XLS", "a.xls"}));

    SelectInPane(*Form, Source, {"sub"});
    QTest::keyClick(Form->FilePane, Qt::Key_Enter);
    EXPECT_EQ(Form->SelectedFolder(), Source + "/sub") << "the folder opens and the tree follows";
    EXPECT_EQ(ListLines(*Form).size(), 2);
}

TEST_F(MainFormList, DeleteRemovesExactlyTheSelectedLines)
{
    AddThroughPane({"a.xls", "b.XLS", "c.Xls"});
    AddThroughPane({"a.xls"});
    ASSERT_EQ(ListLines(*Form), (QStringList {"a.xls", "b.XLS", "c.Xls", "a.xls"}));

    Form->ImageList->clearSelection();
    Form->ImageList->item(1)->setSelected(true);
    Form->ImageList->item(3)->setSelected(true);
    QTest::mouseClick(Form->DelBtn, Qt::LeftButton);

    EXPECT_EQ(ListLines(*Form), (QStringList {"a.xls", "c.Xls"}));
    std::vector<std::string> paths;
    Form->FileList->First();
    while (Form->FileList->Next())
        paths.emplace_back(Form->CurrentPath());
    EXPECT_EQ(paths, (std::vector<std::string> {Source.toStdString() + "/a.xls", Source.toStdString() + "/c.Xls"}));
    EXPECT_EQ(SelectedRows(*Form), std::vector<int> {0});
    EXPECT_TRUE(Form->DelBtn->isEnabled());

    Form->ImageList->selectAll();
    QTest::keyClick(Form->ImageList, Qt::Key_Delete);
    EXPECT_TRUE(ListLines(*Form).isEmpty());
    EXPECT_FALSE(Form->DelBtn->isEnabled());
}

TEST_F(MainFormList, DeleteKeyWithNothingSelectedRemovesNothing)
{
    AddThroughPane({"a.xls", "b.XLS"});
    Form->ImageList->clearSelection();
    QTest::keyClick(Form->ImageList, Qt::Key_Delete);
    EXPECT_EQ(ListLines(*Form), (QStringList {"a.xls", "b.XLS"}));
    EXPECT_EQ(SelectedRows(*Form), std::vector<int> {0}) << "refilled, first line selected";

    QTest::keyClick(Form->ImageList, Qt::Key_A);
    EXPECT_EQ(ListLines(*Form).size(), 2) << "other keys do nothing";
}

TEST_F(MainFormList, KonvertButtonSwitchesToTheSecondPage)
{
    QTest::mouseClick(Form->KonvertBtn, Qt::LeftButton);
    EXPECT_EQ(Form->PageControl->currentWidget(), Form->TabSheet4);
}

TEST_F(MainFormList, GaugeFollowsSetProStatus)
{
    for (int percent : {40, 80, 10, 100}) {
        Form->SetProStatus(percent);
        EXPECT_EQ(Form->ProgressPercent(), percent);
    }
    const QRect panel(0, 0, 48, 16);
    Form->StatusPanel2->SetProgressPercent(50);
    EXPECT_EQ(Form->StatusPanel2->FilledRect(panel), QRect(0, 0, 24, 16));
    Form->StatusPanel2->SetProgressPercent(250);
    EXPECT_EQ(Form->StatusPanel2->FilledRect(panel), panel) << "never past the panel";
    Form->StatusPanel2->SetProgressPercent(-5);
    EXPECT_EQ(Form->StatusPanel2->FilledRect(panel).width(), 0);
}

TEST_F(MainFormList, WindowArgumentsListTheirWorkbooks)
{
    const QString cwd = QDir::currentPath();
    EXPECT_EQ(WindowStartFiles({"--window", "/a/b.xls", "rel/c.xls"}),
              (QStringList {"/a/b.xls", cwd + "/rel/c.xls"}));
    EXPECT_EQ(WindowStartFiles({"/a/b.xls", "--window"}), QStringList {"/a/b.xls"});
    EXPECT_TRUE(WindowStartFiles({"--window"}).isEmpty());
    EXPECT_TRUE(WindowStartFiles({"/a/b.xls"}).isEmpty()) << "one plain argument opens the window with an empty list";

    Form->AddFiles(WindowStartFiles({"--window", Source + "/a.xls", Source + "/b.XLS"}));
    EXPECT_EQ(ListLines(*Form), (QStringList {"a.xls", "b.XLS"}));
    Form->FileList->Seek(1);
    EXPECT_EQ(std::string(Form->CurrentPath()), Source.toStdString() + "/b.XLS");
    EXPECT_TRUE(Form->DelBtn->isEnabled());
    EXPECT_TRUE(FavouriteLines(*Form).isEmpty()) << "listing is not adding from a folder";
}

TEST_F(MainFormList, QtTextsAndThePaneSpeakGerman)
{
    if (!QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm"))
        GTEST_SKIP() << "Qt's German translations (qt6-translations-l10n) are not installed";
    const QFileSystemModel& model = *Form->FileModel;
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QString("Name"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QString("Größe"));
    EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), QString("Änderungsdatum"));
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QString("Abbrechen"));

    const std::string big = MakeFile("source/big.xls", std::string(12800, 'x'));
    const QDateTime stamp(QDate(2024, 12, 24), QTime(18, 30));
    QFile file(QString::fromStdString(big));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    file.close();
    Form->SelectFolder(Source);
    const QModelIndex entry = WaitForPaneEntry(*Form, "big.xls");
    ASSERT_TRUE(entry.isValid());
    EXPECT_EQ(model.index(entry.row(), 1, entry.parent()).data().toString(), QString("12,5 kB"));
    EXPECT_EQ(model.index(entry.row(), 3, entry.parent()).data().toString(), QString("24.12.2024 18:30"));
}
