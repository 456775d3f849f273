// The second page: batch conversion with its status lines, the naming of the
// pages, the target directory message and errors raised by a conversion.
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "WindowTestHelpers.h"
#include "platform/FileSystem.h"

namespace {

class MainFormConvert : public TMainFormTest {
protected:
    void SetUp() override
    {
        TMainFormTest::SetUp();
        Target = MakeDir("target") + "/";
    }

    // The window, once the test's workbooks exist (so the tree lists them from the start).
    void Start()
    {
        Form = NewForm();
        Form->DirectoryEdit1->setText(QString::fromStdString(Target));
    }

    void Add(const std::string& path)
    {
        const QString full = QString::fromStdString(path);
        const int slash = full.lastIndexOf(u'/');
        ASSERT_NO_FATAL_FAILURE(SelectInPane(*Form, full.left(slash), {full.mid(slash + 1)}));
        QTest::mouseClick(Form->AddBtn, Qt::LeftButton);
    }

    void Convert() { QTest::mouseClick(Form->GoBtn1, Qt::LeftButton); }

    QString Line(const char* text, const std::string& path) { return QString(text) + QString::fromStdString(path); }

    std::string Target;
};

} // namespace

TEST_F(MainFormConvert, EmptyListWritesOnlyTheCountLine)
{
    Start();
    Convert();
    EXPECT_EQ(StatusLines(*Form), QStringList {"0 HTML Dateien gespeichert..."});
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(Form->ProgressPercent(), 100);
}

TEST_F(MainFormConvert, ThreeSheetsBecomeThreePagesNamedWithCounters)
{
    const std::string book = MakeWorkbook("books/report.xls", 3);
    Start();
    Add(book);
    Convert();
    EXPECT_EQ(StatusLines(*Form), (QStringList {
                                      Line("Öffne: ", book),
                                      Line("Speichere Blatt 1 unter: ", Target + "report.htm"),
                                      Line("Speichere Blatt 2 unter: ", Target + "report0.htm"),
                                      Line("Speichere Blatt 3 unter: ", Target + "report1.htm"),
                                      "3 HTML Dateien gespeichert...",
                                  }));
    for (const char* page : {"report.htm", "report0.htm", "report1.htm"})
        EXPECT_TRUE(std::filesystem::is_regular_file(Target + page)) << page;
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(ListLines(*Form), QStringList {"report.xls"}) << "the list stays after a run";

    // A second run keeps the earlier lines and never overwrites a page.
    Convert();
    const QStringList lines = StatusLines(*Form);
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[6], Line("Speichere Blatt 1 unter: ", Target + "report2.htm"));
    EXPECT_EQ(lines[9], "3 HTML Dateien gespeichert...");
}

TEST_F(MainFormConvert, SameFileTwiceAndSameNameFromAnotherFolderTakeTheNextCounters)
{
    const std::string first = MakeWorkbook("one/book.xls", 1);
    const std::string second = MakeWorkbook("two/book.xls", 1);
    Start();
    Add(first);
    Add(first);
    Add(second);
    Convert();
    const QStringList lines = StatusLines(*Form);
    EXPECT_EQ(lines.filter("Speichere Blatt").join('|'),
              QString::fromStdString("Speichere Blatt 1 unter: " + Target + "book.htm|Speichere Blatt 1 unter: " +
                                     Target + "book0.htm|Speichere Blatt 1 unter: " + Target + "book1.htm"));
    EXPECT_EQ(lines.back(), "3 HTML Dateien gespeichert...");
}

TEST_F(MainFormConvert, EmptyTargetMeansTheProgramDirectory)
{
    const std::string book = MakeWorkbook("books/plain.xls", 1);
    Start();
    Add(book);
    Form->DirectoryEdit1->clear();
    Convert();
    EXPECT_TRUE(std::filesystem::is_regular_file(ProgramDir + "plain.htm"));
}

TEST_F(MainFormConvert, MissingTargetDirectoryIsCreatedWithItsParents)
{
    const std::string book = MakeWorkbook("books/deep.xls", 1);
    Start();
    Add(book);
    const std::string deep = Target + "a/b/c";
    Form->DirectoryEdit1->setText(QString::fromStdString(deep));
    Convert();
    EXPECT_TRUE(std::filesystem::is_regular_file(deep + "/deep.htm"));
}

TEST_F(MainFormConvert, TargetThatCannotBeCreatedShowsTheMessageAndStops)
{
    const std::string book = MakeWorkbook("books/report.xls", 1);
    const std::string blocker = MakeFile("target/blocker");
    Start();
    Add(book);
    Form->DirectoryEdit1->setText(QString::fromStdString(blocker + "/out"));
    Convert();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, QString("Fehler"));
    EXPECT_EQ(Boxes[0].Text, QString("Konnte das Verzeichnis nicht erstellen!"));
    EXPECT_TRUE(StatusLines(*Form).isEmpty());
}

TEST_F(MainFormConvert, FileThatIsNotAWorkbookEndsTheBatchWithAnErrorBox)
{
    const std::string good = MakeWorkbook("books/good.xls", 1);
    const std::string bad = MakeFile("books/bad.xls", "This is plain text, not a compound document.");
    const std::string later = MakeWorkbook("books/later.xls", 1);
    Start();
    Add(good);
    Add(bad);
    Add(later);
    Convert();

    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, QString("Quillon"));
    EXPECT_EQ(Boxes[0].Text, QString("Can not open a docfile.")) << "the message with its full stop";
    EXPECT_EQ(StatusLines(*Form), (QStringList {
                                      Line("Öffne: ", good),
                                      Line("Speichere Blatt 1 unter: ", Target + "good.htm"),
                                      Line("Öffne: ", bad),
                                  }))
        << "no count line, the rest of the batch not started";
    EXPECT_TRUE(std::filesystem::is_regular_file(Target + "good.htm"));
    EXPECT_FALSE(std::filesystem::exists(Target + "later.htm"));

    // The window stays usable: the next run goes as far as the bad file again.
    Boxes.clear();
    Form->ImageList->clearSelection();
    Form->ImageList->item(1)->setSelected(true);
    QTest::mouseClick(Form->DelBtn, Qt::LeftButton);
    Convert();
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(StatusLines(*Form).back(), "2 HTML Dateien gespeichert...");
    EXPECT_TRUE(std::filesystem::is_regular_file(Target + "later.htm"));
}
