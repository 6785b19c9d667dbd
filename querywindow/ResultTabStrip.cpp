#include "ResultTabStrip.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>

ResultTabStrip::ResultTabStrip(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    auto button = [this](Qt::ArrowType arrow, const char* name) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setArrowType(arrow);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->hide();
        return b;
    };
    left_ = button(Qt::LeftArrow, "ScrollLeftButton");
    right_ = button(Qt::RightArrow, "ScrollRightButton");
    connect(left_, &QToolButton::clicked, this, &ResultTabStrip::ScrollLeft);
    connect(right_, &QToolButton::clicked, this, &ResultTabStrip::ScrollRight);
}

void ResultTabStrip::InitTabOption(QStyleOptionTab& option, int index) const
{
    option.initFrom(this);
    option.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    const Tab& tab = tabs_[static_cast<std::size_t>(index)];
    option.rect = tabRect(index);
    option.row = 0;
    option.shape = shape_;
    option.text = tab.Text;
    option.icon = tab.Icon;
    const int iconExtent = style()->pixelMetric(QStyle::PM_TabBarIconSize, nullptr, this);
    option.iconSize = QSize(iconExtent, iconExtent);
    option.documentMode = false;
    option.tabIndex = index;
    const int last = count() - 1;
    if (last == 0)
        option.position = QStyleOptionTab::OnlyOneTab;
    else if (index == 0)
        option.position = QStyleOptionTab::Beginning;
    else if (index == last)
        option.position = QStyleOptionTab::End;
    else
        option.position = QStyleOptionTab::Middle;
    option.selectedPosition = QStyleOptionTab::NotAdjacent;
    if (current_ == index - 1)
        option.selectedPosition = QStyleOptionTab::PreviousIsSelected;
    else if (current_ == index + 1)
        option.selectedPosition = QStyleOptionTab::NextIsSelected;
    if (index == current_) {
        option.state |= QStyle::State_Selected;
        if (hasFocus()) option.state |= QStyle::State_HasFocus;
    }
    if (index == hover_) option.state |= QStyle::State_MouseOver;
}

int ResultTabStrip::MeasureWidth(const Tab& tab) const
{
    // The toolkit's tab bar measures a tab so: text, icon and padding, then the style's frame.
    QStyleOptionTab option;
    option.initFrom(this);
    option.shape = shape_;
    option.text = tab.Text;
    option.icon = tab.Icon;
    const int iconExtent = style()->pixelMetric(QStyle::PM_TabBarIconSize, nullptr, this);
    option.iconSize = QSize(iconExtent, iconExtent);
    const int hframe = style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &option, this);
    const int vframe = style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &option, this);
    const QSize icon = tab.Icon.isNull() ? QSize(0, 0) : option.iconSize;
    const int padding = tab.Icon.isNull() ? 0 : 4;
    const QFontMetrics& fm = fontMetrics();
    const QSize contents(fm.size(Qt::TextShowMnemonic, tab.Text).width() + icon.width() + hframe + padding,
                         std::max(fm.height(), icon.height()) + vframe);
    const QSize size = style()->sizeFromContents(QStyle::CT_TabBarTab, &option, contents, this);
    // The height is that of the tallest tab; kept as the strip's.
    auto* self = const_cast<ResultTabStrip*>(this);
    if (size.height() > tabHeight_) {
        self->tabHeight_ = size.height();
        self->updateGeometry();
    }
    return size.width();
}

void ResultTabStrip::Remeasure()
{
    tabHeight_ = 0;
    int end = 0;
    for (Tab& tab : tabs_) tab.End = end += MeasureWidth(tab);
    UpdateButtons();
    EnsureVisible(current_);
    update();
}

int ResultTabStrip::AddTab(const QIcon& icon, const QString& text)
{
    Tab tab{text, icon, 0};
    tab.End = TotalWidth() + MeasureWidth(tab);
    tabs_.push_back(std::move(tab));
    UpdateButtons();
    // Only a tab that lands in view needs painting.
    const QRect rect = tabRect(count() - 1);
    if (rect.left() < ViewWidth()) update(rect);
    return count() - 1;
}

void ResultTabStrip::RemoveTab(int index)
{
    if (index < 0 || index >= count()) return;
    const int width = tabs_[static_cast<std::size_t>(index)].End - Start(index);
    tabs_.erase(tabs_.begin() + index);
    for (auto i = static_cast<std::size_t>(index); i < tabs_.size(); ++i) tabs_[i].End -= width;
    if (hover_ >= count()) hover_ = -1;
    if (current_ > index || current_ >= count()) --current_;
    UpdateButtons();
    ScrollTo(offset_);
    update();
}

QString ResultTabStrip::tabText(int index) const
{
    return index >= 0 && index < count() ? tabs_[static_cast<std::size_t>(index)].Text : QString();
}

QIcon ResultTabStrip::tabIcon(int index) const
{
    return index >= 0 && index < count() ? tabs_[static_cast<std::size_t>(index)].Icon : QIcon();
}

QRect ResultTabStrip::tabRect(int index) const
{
    if (index < 0 || index >= count()) return {};
    const int start = Start(index);
    return QRect(start - offset_, 0, tabs_[static_cast<std::size_t>(index)].End - start, tabHeight_);
}

int ResultTabStrip::FirstEndingAfter(int x) const
{
    const auto it = std::upper_bound(tabs_.begin(), tabs_.end(), x, [](int v, const Tab& t) { return v < t.End; });
    return static_cast<int>(it - tabs_.begin());
}

int ResultTabStrip::tabAt(const QPoint& point) const
{
    if (point.x() < 0 || point.x() >= ViewWidth() || point.y() < 0 || point.y() >= height()) return -1;
    const int index = FirstEndingAfter(point.x() + offset_);
    return index < count() ? index : -1;
}

void ResultTabStrip::SetCurrent(int index)
{
    if (index >= count()) index = count() - 1;
    if (index == current_) {
        EnsureVisible(index);
        return;
    }
    // The old and the new current tab, and their neighbours, change their look.
    auto touch = [this](int i) {
        for (int j = std::max(i - 1, 0); j <= i + 1 && j < count(); ++j) update(tabRect(j).adjusted(-4, 0, 4, 0));
    };
    if (current_ >= 0) touch(current_);
    current_ = index;
    EnsureVisible(index);
    if (current_ >= 0) touch(current_);
}

void ResultTabStrip::SetShape(QTabBar::Shape shape)
{
    if (shape == shape_) return;
    shape_ = shape;
    Remeasure();
}

int ResultTabStrip::ViewWidth() const { return left_->isVisibleTo(this) ? left_->x() : width(); }

void ResultTabStrip::ScrollTo(int offset)
{
    const int most = std::max(TotalWidth() - ViewWidth(), 0);
    offset = std::clamp(offset, 0, most);
    left_->setEnabled(offset > 0);
    right_->setEnabled(offset < most);
    if (offset == offset_) return;
    offset_ = offset;
    update();
}

void ResultTabStrip::EnsureVisible(int index)
{
    if (index < 0 || index >= count()) return;
    const int start = Start(index);
    const int end = tabs_[static_cast<std::size_t>(index)].End;
    if (start < offset_)
        ScrollTo(start);
    else if (end > offset_ + ViewWidth())
        ScrollTo(end - ViewWidth());
}

void ResultTabStrip::ScrollLeft()
{
    // To the start of the first tab not wholly in view on the left.
    const int first = FirstEndingAfter(offset_);
    if (first >= count()) return;
    ScrollTo(Start(first) < offset_ ? Start(first) : Start(std::max(first - 1, 0)));
}

void ResultTabStrip::ScrollRight()
{
    // To the end of the first tab not wholly in view on the right.
    const int view = ViewWidth();
    int last = FirstEndingAfter(offset_ + view - 1);
    if (last >= count()) return;
    if (tabs_[static_cast<std::size_t>(last)].End <= offset_ + view) last = std::min(last + 1, count() - 1);
    ScrollTo(tabs_[static_cast<std::size_t>(last)].End - view);
}

void ResultTabStrip::UpdateButtons()
{
    const bool overflow = TotalWidth() > width();
    if (overflow) {
        QStyleOption option;
        option.initFrom(this);
        left_->setGeometry(style()->subElementRect(QStyle::SE_TabBarScrollLeftButton, &option, this));
        right_->setGeometry(style()->subElementRect(QStyle::SE_TabBarScrollRightButton, &option, this));
    }
    if (overflow != left_->isVisibleTo(this)) {
        left_->setVisible(overflow);
        right_->setVisible(overflow);
    }
    const int most = std::max(TotalWidth() - ViewWidth(), 0);
    left_->setEnabled(offset_ > 0);
    right_->setEnabled(offset_ < most);
}

QSize ResultTabStrip::sizeHint() const
{
    return QSize(TotalWidth(), tabHeight_ > 0 ? tabHeight_ : fontMetrics().height());
}

QSize ResultTabStrip::minimumSizeHint() const
{
    const int button = style()->pixelMetric(QStyle::PM_TabBarScrollButtonWidth, nullptr, this);
    const int first = tabs_.empty() ? 0 : tabs_.front().End;
    return QSize(std::min(first, 2 * button + 1), sizeHint().height());
}

void ResultTabStrip::paintEvent(QPaintEvent* event)
{
    if (tabs_.empty()) return;
    QStylePainter painter(this);
    const int view = ViewWidth();
    const QRect area = QRect(0, 0, view, height()) & event->rect();
    if (area.isEmpty()) return;
    painter.setClipRect(area);
    // The current tab is drawn last: it overlaps its neighbours.
    for (int i = FirstEndingAfter(area.left() + offset_); i < count(); ++i) {
        if (tabRect(i).left() > area.right()) break;
        if (i == current_) continue;
        QStyleOptionTab option;
        InitTabOption(option, i);
        painter.drawControl(QStyle::CE_TabBarTab, option);
    }
    if (current_ >= 0 && tabRect(current_).intersects(QRect(0, 0, view, height()))) {
        QStyleOptionTab option;
        InitTabOption(option, current_);
        painter.drawControl(QStyle::CE_TabBarTab, option);
        if (hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.rect = style()->subElementRect(QStyle::SE_TabBarTabText, &option, this);
            painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    }
}

void ResultTabStrip::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    UpdateButtons();
    ScrollTo(offset_);
    EnsureVisible(current_);
}

void ResultTabStrip::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const int index = tabAt(event->position().toPoint());
    if (index >= 0) emit tabActivated(index);
}

void ResultTabStrip::mouseMoveEvent(QMouseEvent* event)
{
    const int index = tabAt(event->position().toPoint());
    if (index == hover_) return;
    if (hover_ >= 0) update(tabRect(hover_));
    hover_ = index;
    if (hover_ >= 0) update(tabRect(hover_));
}

void ResultTabStrip::leaveEvent(QEvent* event)
{
    if (hover_ >= 0) update(tabRect(hover_));
    hover_ = -1;
    QWidget::leaveEvent(event);
}

void ResultTabStrip::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    const int steps = (std::abs(delta.x()) > std::abs(delta.y()) ? delta.x() : delta.y()) / 120;
    if (steps == 0) {
        event->ignore();
        return;
    }
    for (int i = 0; i < std::abs(steps); ++i) steps > 0 ? ScrollLeft() : ScrollRight();
}

void ResultTabStrip::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() & ~Qt::KeypadModifier || count() == 0) {
        event->ignore();
        return;
    }
    if (event->key() == Qt::Key_Left && current_ > 0)
        emit tabActivated(current_ - 1);
    else if (event->key() == Qt::Key_Right && current_ < count() - 1)
        emit tabActivated(current_ + 1);
    else
        event->ignore();
}

void ResultTabStrip::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) Remeasure();
    QWidget::changeEvent(event);
}
