// A status bar of panels side by side, each with its own share of the width, text and alignment;
// a panel whose text needs more than its share is widened to show it whole.
#pragma once

#include <QFrame>
#include <QString>

#include <vector>

class QLabel;
class QProgressBar;

class StatusPanelBar : public QFrame {
    Q_OBJECT
public:
    StatusPanelBar(int panelCount, QWidget* parent = nullptr);

    int PanelCount() const { return static_cast<int>(panels_.size()); }
    QString PanelText(int i) const;
    void SetPanelText(int i, const QString& text);
    // The panel's share of the bar, as set.
    int PanelWidth(int i) const;
    void SetPanelWidth(int i, int width);
    Qt::Alignment PanelAlignment(int i) const;
    void SetPanelAlignment(int i, Qt::Alignment alignment);

    // A progress bar at the bar's right end, over the panels there, while a long task runs.
    void ShowProgress(int value, int maximum);
    void HideProgress();
    // The progress bar while it shows, else none.
    const QProgressBar* Progress() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool Has(int i) const { return i >= 0 && i < PanelCount(); }
    void PlacePanels();

    struct Panel {
        QLabel* Label = nullptr;
        int Width = 0;
    };
    std::vector<Panel> panels_;
    QProgressBar* progress_ = nullptr;
};
