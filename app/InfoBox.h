// The information box: the program's name, version and maker with the
// current year, and a button that opens the maker's web page.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The maker's web page, opened by this box and by the main window's web button.
extern const char* const QuillonWebAddress;
// Asks the desktop to show the maker's web page in the default browser.
void OpenQuillonWebPage();

class TInfoBox : public QDialog {
    Q_OBJECT
public:
    explicit TInfoBox(QWidget* parent = nullptr);

    QLabel* CopyrightLabel;
    QPushButton* WebBtn;
    QPushButton* OKBtn;
};
