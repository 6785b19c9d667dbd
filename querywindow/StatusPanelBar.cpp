#include "StatusPanelBar.h"

#include "QueryWindowGeometry.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>

namespace {

constexpr int ProgressWidth = 200;

} // namespace

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
    if (!Has(i)) return;
    panels_[i].Label->setText(text);
    PlacePanels();
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

void StatusPanelBar::ShowProgress(int value, int maximum)
{
    if (!progress_) {
        progress_ = new QProgressBar(this);
        progress_->setObjectName(QStringLiteral("ProgressBar"));
        progress_->setTextVisible(false);
    }
    progress_->setRange(0, maximum);
    progress_->setValue(value);
    PlacePanels();
    progress_->raise();
    progress_->show();
}

void StatusPanelBar::HideProgress()
{
    if (progress_) progress_->hide();
}

const QProgressBar* StatusPanelBar::Progress() const { return progress_ && !progress_->isHidden() ? progress_ : nullptr; }

void StatusPanelBar::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    PlacePanels();
}

void StatusPanelBar::changeEvent(QEvent* event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange) PlacePanels();
}

void StatusPanelBar::PlacePanels()
{
    // The shares of the width were measured for another font: a text that needs more gets it.
    std::vector<int> designed, needed;
    for (const Panel& p : panels_) {
        designed.push_back(p.Width);
        needed.push_back(p.Label->text().isEmpty() ? 0 : p.Label->sizeHint().width());
    }
    const std::vector<int> shown = QueryWindowGeometry::ShownPanelWidths(designed, needed, width());
    int x = 0;
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i].Label->setGeometry(x, 0, shown[i], height());
        x += shown[i];
    }
    if (progress_) progress_->setGeometry(std::max(width() - ProgressWidth, 0), 0, std::min(ProgressWidth, width()), height());
}
