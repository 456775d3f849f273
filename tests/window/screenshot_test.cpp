// Pictures of the window for a person to look at, not an assertion: taken only
// when QUILLON_SCREENSHOT_DIR names a directory, best under Xvfb:
//   xvfb-run -a -s "-screen 0 1024x768x24" env QUILLON_SCREENSHOT_DIR=/tmp/shots
//     build/tests/window/quillon_window_tests --gtest_filter='MainFormScreenshot*'
// (one command line).
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "WindowTestHelpers.h"
#include "app/InfoBox.h"

namespace {
class MainFormScreenshot : public TMainFormTest {};

// A moment for the file system models to fill in what they list.
void LetListingsArrive()
{
    QTest::qWait(500);
}
} // namespace

TEST_F(MainFormScreenshot, SavesThePagesABatchWithAFailureAndTheFolderChooser)
{
    const QString dir = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR is not set";

    const std::string books = MakeDir("Arbeitsmappen");
    MakeWorkbook("Arbeitsmappen/umsatz.xls", 2);
    MakeWorkbook("Arbeitsmappen/bericht.xls", 1);
    MakeFile("Arbeitsmappen/ALT.XLS", "kein Arbeitsblatt");
    Form = NewForm();
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    SelectInPane(*Form, QString::fromStdString(books), {"ALT.XLS", "bericht.xls", "umsatz.xls"});
    QTest::mouseClick(Form->AddBtn, Qt::LeftButton);
    LetListingsArrive();
    ASSERT_TRUE(Form->grab().save(dir + "/quillon-page1.png"));

    Form->DirectoryEdit1->setText(QString::fromStdString(MakeDir("Ausgabe")));
    QTest::mouseClick(Form->KonvertBtn, Qt::LeftButton);
    ConvertAndWait(*Form);
    ASSERT_TRUE(Form->grab().save(dir + "/quillon-page2.png"));
    ASSERT_EQ(Boxes.size(), 1u);
    QMessageBox box(QMessageBox::Critical, Boxes[0].Caption, Boxes[0].Text, QMessageBox::Ok, Form.get());
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    ASSERT_TRUE(box.grab().save(dir + "/quillon-failure-box.png"));
    box.hide();

    const std::unique_ptr<QFileDialog> chooser(Form->NewFolderChooser());
    chooser->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(chooser.get()));
    LetListingsArrive();
    ASSERT_TRUE(chooser->grab().save(dir + "/quillon-folder-chooser.png"));
    chooser->hide();
    ASSERT_TRUE(Form->InfoBox->grab().save(dir + "/quillon-info.png"));
}
