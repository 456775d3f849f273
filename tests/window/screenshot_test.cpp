// Pictures of the window for a person to look at, not an assertion: taken only
// when QUILLON_SCREENSHOT_DIR names a directory, best under Xvfb:
//   xvfb-run -a -s "-screen 0 1024x768x24" env QUILLON_SCREENSHOT_DIR=/tmp/shots
//     build/tests/window/quillon_window_tests --gtest_filter='MainFormScreenshot*'
// (one command line).
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "WindowTestHelpers.h"
#include "app/InfoBox.h"

namespace {
class MainFormScreenshot : public TMainFormTest {};
} // namespace

TEST_F(MainFormScreenshot, SavesBothPages)
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
    SelectInPane(*Form, QString::fromStdString(books), {"bericht.xls", "umsatz.xls"});
    QTest::mouseClick(Form->AddBtn, Qt::LeftButton);
    QTest::qWait(300);
    ASSERT_TRUE(Form->grab().save(dir + "/quillon-page1.png"));

    Form->DirectoryEdit1->setText(QString::fromStdString(MakeDir("Ausgabe")));
    QTest::mouseClick(Form->KonvertBtn, Qt::LeftButton);
    QTest::mouseClick(Form->GoBtn1, Qt::LeftButton);
    QTest::qWait(300);
    ASSERT_TRUE(Form->grab().save(dir + "/quillon-page2.png"));
    ASSERT_TRUE(Form->InfoBox->grab().save(dir + "/quillon-info.png"));
}
