#include "app/InfoBox.h"

#include "app/window/AppIcon.h"

#include <QDate>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

const char* const QuillonWebAddress = "https://quillon.example.org/";

void OpenQuillonWebPage()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(QuillonWebAddress)));
}

TInfoBox::TInfoBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("InfoBox"));
    setWindowTitle(QStringLiteral("Info"));
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setPixmap(QuillonIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);

    auto* name = new QLabel(QStringLiteral("<b>Quillon 1.0</b>"), this);
    auto* purpose = new QLabel(QStringLiteral("Excel 97-2003 Arbeitsmappen als HTML Seiten"), this);
    CopyrightLabel = new QLabel(QStringLiteral("Copyright © %1 Quillon").arg(QDate::currentDate().year()), this);

    WebBtn = new QPushButton(QString::fromLatin1(QuillonWebAddress), this);
    WebBtn->setFlat(true);
    WebBtn->setCursor(Qt::PointingHandCursor);
    connect(WebBtn, &QPushButton::clicked, this, [] { OpenQuillonWebPage(); });

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(purpose);
    texts->addWidget(CopyrightLabel);
    texts->addWidget(WebBtn, 0, Qt::AlignLeft);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addLayout(texts, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(OKBtn, 0, Qt::AlignHCenter);
    setFixedSize(sizeHint());
}
