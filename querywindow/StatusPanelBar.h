// A status bar of fixed panels side by side, each with its own width, text and alignment.
#pragma once

#include <QFrame>
#include <QString>

#include <vector>

class QLabel;

class StatusPanelBar : public QFrame {
    Q_OBJECT
public:
    StatusPanelBar(int panelCount, QWidget* parent = nullptr);

    int PanelCount() const { return static_cast<int>(panels_.size()); }
    QString PanelText(int i) const;
    void SetPanelText(int i, const QString& text);
    int PanelWidth(int i) const;
    void SetPanelWidth(int i, int width);
    Qt::Alignment PanelAlignment(int i) const;
    void SetPanelAlignment(int i, Qt::Alignment alignment);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    bool Has(int i) const { return i >= 0 && i < PanelCount(); }
    void PlacePanels();

    struct Panel {
        QLabel* Label = nullptr;
        int Width = 0;
    };
    std::vector<Panel> panels_;
};
