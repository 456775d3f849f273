// The status bar's gauge panel: a navy bar filled from the left to the given
// percentage of its width.
#pragma once

#include <QRect>
#include <QWidget>

class TGaugePanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int PanelWidth = 50;

    explicit TGaugePanel(QWidget* parent = nullptr);

    int ProgressPercent() const { return FProgressPercent; }
    void SetProgressPercent(int percent) { FProgressPercent = percent; }
    // The panel's rectangle at the last paint.
    QRect ProgressRect() const { return FProgressRect; }
    // The filled part for the current percentage, clipped to the panel.
    QRect FilledRect(const QRect& panel) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int FProgressPercent = 0;
    QRect FProgressRect;
};
