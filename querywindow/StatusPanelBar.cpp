#include "StatusPanelBar.h"

#include <QLabel>

StatusPanelBar::StatusPanelBar(int panelCount, QWidget* parent) : QFrame(parent)
{
    for (int i = 0; i < panelCount; ++i) {
        auto* label = new QLabel(this);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setTextFormat(Qt::PlainText);
        label->setIndent(2);
        panels_.push_back({label, 0});
    }
}

QString StatusPanelBar::PanelText(int i) const { return Has(i) ? panels_[i].Label->text() : QString(); }

void StatusPanelBar::SetPanelText(int i, const QString& text)
{
    if (Has(i)) panels_[i].Label->setText(text);
}

int StatusPanelBar::PanelWidth(int i) const { return Has(i) ? panels_[i].Width : 0; }

void StatusPanelBar::SetPanelWidth(int i, int width)
{
    if (!Has(i)) return;
    panels_[i].Width = width < 0 ? 0 : width;
    PlacePanels();
}

Qt::Alignment StatusPanelBar::PanelAlignment(int i) const
{
    return Has(i) ? panels_[i].Label->alignment() : Qt::Alignment();
}

void StatusPanelBar::SetPanelAlignment(int i, Qt::Alignment alignment)
{
    if (Has(i)) panels_[i].Label->setAlignment(alignment | Qt::AlignVCenter);
}

void StatusPanelBar::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    PlacePanels();
}

void StatusPanelBar::PlacePanels()
{
    int x = 0;
    for (const Panel& p : panels_) {
        p.Label->setGeometry(x, 0, p.Width, height());
        x += p.Width;
    }
}
