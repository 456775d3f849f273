// The second page: batch conversion with its status lines, the naming of the
// pages, the target directory message, files that fail, Abbrechen, closing
// during a batch and the password of an encrypted workbook.
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

#include "WindowTestHelpers.h"
#include "app/window/PasswordPrompt.h"
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

    void Convert() { ConvertAndWait(*Form); }

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

TEST_F(MainFormConvert, FileThatFailsIsReportedAndTheBatchGoesOn)
{
    const std::string good = MakeWorkbook("books/good.xls", 1);
    const std::string bad = MakeFile("books/bad.xls", "This is plain text, not a compound document.");
    const std::string later = MakeWorkbook("books/later.xls", 1);
    Start();
    Form->AddFiles({QString::fromStdString(good), QString::fromStdString(bad), QString::fromStdString(later)});
    Convert();

    EXPECT_EQ(StatusLines(*Form), (QStringList {
                                      Line("Öffne: ", good),
                                      Line("Speichere Blatt 1 unter: ", Target + "good.htm"),
                                      Line("Öffne: ", bad),
                                      Line("Fehler bei ", bad) + ": Can not open a docfile.",
                                      Line("Öffne: ", later),
                                      Line("Speichere Blatt 1 unter: ", Target + "later.htm"),
                                      "2 HTML Dateien gespeichert...",
                                  }));
    EXPECT_TRUE(std::filesystem::is_regular_file(Target + "later.htm"));
    EXPECT_EQ(Form->ProgressPercent(), 100);
    ASSERT_EQ(Boxes.size(), 1u) << "one box at the end, none per file";
    EXPECT_EQ(Boxes[0].Caption, QString("Quillon"));
    EXPECT_EQ(Boxes[0].Text, QString("1 Datei konnte nicht konvertiert werden; die Statusmeldungen nennen den Grund."));

    // A missing file fails the same way; the box counts the files.
    Form->AddFiles({QString::fromStdString(Target + "missing.xls")});
    Convert();
    ASSERT_EQ(Boxes.size(), 2u);
    EXPECT_EQ(Boxes[1].Text,
              QString("2 Dateien konnten nicht konvertiert werden; die Statusmeldungen nennen die Gründe."));
    EXPECT_EQ(StatusLines(*Form).filter("Fehler bei ").size(), 3);
    EXPECT_EQ(StatusLines(*Form).back(), "2 HTML Dateien gespeichert...") << "the count of this run";
}

TEST_F(MainFormConvert, SecondClickIsAbbrechenAndStopsAfterTheCurrentFile)
{
    const std::string first = MakeWorkbook("books/first.xls", 2);
    const std::string second = MakeWorkbook("books/second.xls", 1);
    const std::string third = MakeWorkbook("books/third.xls", 1);
    Start();
    Form->AddFiles({QString::fromStdString(first), QString::fromStdString(second), QString::fromStdString(third)});
    Gate.Install(0);
    QTest::mouseClick(Form->GoBtn1, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Gate.Reached(); }, 60000));

    // Nothing that changes or starts the batch takes input now.
    ASSERT_TRUE(Form->BatchRunning());
    EXPECT_EQ(Form->GoBtn1->text(), QString("Abbrechen"));
    EXPECT_TRUE(Form->GoBtn1->isEnabled());
    for (QWidget* control : std::initializer_list<QWidget*> {Form->AddBtn, Form->DelBtn, Form->ImageList,
                                                             Form->DirectoryEdit1, Form->DirectoryEdit1Button})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    Form->ImageList->selectAll();
    Form->DelBtnClick();
    EXPECT_EQ(Form->FileList->Count(), 3) << "the list stays as the batch took it";

    QTest::mouseClick(Form->GoBtn1, Qt::LeftButton);
    EXPECT_EQ(StatusLines(*Form).back(), QString("Abbruch: die Konvertierung endet nach der aktuellen Datei."));
    Gate.Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Form->BatchRunning(); }, 60000));

    EXPECT_EQ(StatusLines(*Form), (QStringList {
                                      Line("Öffne: ", first),
                                      "Abbruch: die Konvertierung endet nach der aktuellen Datei.",
                                      Line("Speichere Blatt 1 unter: ", Target + "first.htm"),
                                      Line("Speichere Blatt 2 unter: ", Target + "first0.htm"),
                                      "Konvertierung abgebrochen, 2 Dateien nicht konvertiert.",
                                      "2 HTML Dateien gespeichert...",
                                  }))
        << "the current file ends, no second batch";
    EXPECT_TRUE(std::filesystem::is_regular_file(Target + "first0.htm"));
    EXPECT_FALSE(std::filesystem::exists(Target + "second.htm"));
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(Form->GoBtn1->text(), QString("Konvertieren"));
    EXPECT_TRUE(Form->AddBtn->isEnabled());
    EXPECT_TRUE(Form->DelBtn->isEnabled());
    EXPECT_TRUE(Form->DirectoryEdit1->isEnabled());

    // The next click starts a whole new batch.
    Gate.Remove();
    Convert();
    EXPECT_EQ(StatusLines(*Form).filter("Öffne: ").size(), 4);
    EXPECT_EQ(StatusLines(*Form).back(), "4 HTML Dateien gespeichert...");
}

TEST_F(MainFormConvert, ClosingDuringABatchEndsTheCurrentFileThenCloses)
{
    const std::string first = MakeWorkbook("books/first.xls", 3);
    const std::string second = MakeWorkbook("books/second.xls", 1);
    Start();
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    Form->AddFiles({QString::fromStdString(first), QString::fromStdString(second)});
    Gate.Install(0);
    QTest::mouseClick(Form->GoBtn1, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Gate.Reached(); }, 60000));

    EXPECT_FALSE(Form->close()) << "the window waits for the current file";
    EXPECT_TRUE(Form->isVisible());
    Gate.Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Form->isVisible(); }, 60000));

    EXPECT_FALSE(Form->BatchRunning());
    for (const char* page : {"first.htm", "first0.htm", "first1.htm"}) {
        const std::vector<uint8_t> bytes = ReadWholeFile(Target + page);
        EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("</html>"), std::string::npos) << page << " complete";
    }
    EXPECT_FALSE(std::filesystem::exists(Target + "second.htm"));
    EXPECT_TRUE(Boxes.empty());
    QSettings settings(SettingsFile, QSettings::IniFormat);
    EXPECT_EQ(settings.value("TMainForm/DirectoryEdit1_Text").toString().toStdString(), Target) << "saved at close";
}

TEST_F(MainFormConvert, PasswordIsAskedForAndAWrongOneOnceMore)
{
    const std::string secret = MakeEncryptedWorkbook("books/secret.xls", u"geheim");
    const std::string later = MakeWorkbook("books/later.xls", 1);
    const QString refusal = Line("Fehler bei ", secret) + ": Error: file is protected, and password is invalid!";
    const QString skipped = Line("Übersprungen (kein Kennwort): ", secret);
    struct TCase {
        std::vector<std::optional<QString>> Answers;
        int Asked;
        bool Converted;
        QStringList Reports; // the lines about the encrypted file besides "Öffne" and "Speichere"
    };
    const TCase cases[] = {
        {{"geheim"}, 1, true, {}},
        {{std::nullopt}, 1, false, {skipped}},
        {{""}, 1, false, {skipped}},
        {{"falsch", "geheim"}, 2, true, {refusal}},
        {{"falsch", std::nullopt}, 2, false, {refusal, skipped}},
        {{"falsch", "falsch", "geheim"}, 2, false, {refusal, refusal}},
        {{"viel zu langes Kennwort", "geheim"}, 2, true,
         {Line("Fehler bei ", secret) + ": File protection password must have 0-15 characters."}},
    };
    Start();
    Form->AddFiles({QString::fromStdString(secret), QString::fromStdString(later)});
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Reports.join('|').toStdString()));
        Form->Memo1->clear();
        Boxes.clear();
        std::vector<QString> labels;
        SetPasswordPromptHook([&](QWidget*, const QString& label) {
            labels.push_back(label);
            return labels.size() <= c.Answers.size() ? c.Answers[labels.size() - 1] : std::nullopt;
        });
        Convert();
        SetPasswordPromptHook({});

        EXPECT_EQ(int(labels.size()), c.Asked);
        for (const QString& label : labels)
            EXPECT_EQ(label, QString("Kennwort für ") + QString::fromStdString(secret) + ":");
        const QStringList lines = StatusLines(*Form);
        QStringList reports = lines;
        reports.removeIf([](const QString& line) {
            return line.startsWith("Öffne: ") || line.startsWith("Speichere Blatt") || line.contains("HTML Dateien");
        });
        EXPECT_EQ(reports, c.Reports);
        EXPECT_EQ(lines.back(), c.Converted ? "2 HTML Dateien gespeichert..." : "1 HTML Dateien gespeichert...")
            << "the later file is converted either way";
        EXPECT_EQ(Boxes.size(), c.Converted ? 0u : 1u);
    }
}

TEST_F(MainFormConvert, PasswordDialogIsMasked)
{
    const std::string secret = MakeEncryptedWorkbook("books/secret.xls", u"geheim");
    Start();
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    Form->AddFiles({QString::fromStdString(secret)});

    QString label;
    QLineEdit::EchoMode echo = QLineEdit::Normal;
    QTimer answer;
    answer.setInterval(20);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        answer.stop();
        label = dialog->labelText();
        echo = dialog->textEchoMode();
        dialog->setTextValue("geheim");
        dialog->accept();
    });
    answer.start();
    Convert();

    EXPECT_EQ(label, QString("Kennwort für ") + QString::fromStdString(secret) + ":");
    EXPECT_EQ(echo, QLineEdit::Password);
    EXPECT_EQ(StatusLines(*Form).back(), "1 HTML Dateien gespeichert...");
    EXPECT_TRUE(std::filesystem::is_regular_file(Target + "secret.htm"));
}
