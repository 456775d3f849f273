#include "app/window/GaugePanel.h"

#include <QPainter>
#include <algorithm>

namespace {
const QColor Navy(0, 0, 128);
}

TGaugePanel::TGaugePanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StatusPanel2"));
    setFixedWidth(PanelWidth);
}

QRect TGaugePanel::FilledRect(const QRect& panel) const
{
    const int percent = std::clamp(FProgressPercent, 0, 100);
    const int right = panel.left() + panel.width() * percent / 100;
    return QRect(QPoint(panel.left(), panel.top()), QPoint(right - 1, panel.bottom()));
}

void TGaugePanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    FProgressRect = rect().adjusted(1, 2, -1, -2);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(FProgressRect.adjusted(0, 0, -1, -1));
    const QRect filled = FilledRect(FProgressRect);
    if (filled.width() > 0)
        painter.fillRect(filled, Navy);
}
