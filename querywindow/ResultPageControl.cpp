#include "ResultPageControl.h"

#include "ResultTabStrip.h"

#include <QKeyEvent>
#include <QStackedWidget>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

#include <algorithm>

namespace {

// Result pages are all alike: the size of many pages is that of the first ones.
constexpr int AlikePages = 3;
constexpr int PagesPerBucket = 128;

// Only the top and the bottom are drawn (setTabPosition takes the sides as the top).
QTabBar::Shape ShapeOf(QTabWidget::TabPosition position)
{
    return position == QTabWidget::South ? QTabBar::RoundedSouth : QTabBar::RoundedNorth;
}

} // namespace

ResultPageControl::ResultPageControl(QWidget* parent)
    : QWidget(parent), stack_(new QStackedWidget(this)), holder_(new QWidget(this)), strip_(new ResultTabStrip(this))
{
    stack_->setObjectName(QStringLiteral("qt_tabwidget_stackedwidget"));
    strip_->setObjectName(QStringLiteral("qt_tabwidget_tabbar"));
    holder_->hide();
    // Nothing in the holder paints, and a change of the control's updates does not pass over it.
    holder_->setUpdatesEnabled(false);
    setFocusPolicy(Qt::TabFocus);
    setFocusProxy(strip_);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    connect(stack_, &QStackedWidget::widgetRemoved, this, [this] {
        if (!moving_) Forget(current_);
    });
    connect(strip_, &ResultTabStrip::tabActivated, this, &ResultPageControl::setCurrentIndex);
    strip_->SetShape(ShapeOf(position_));
}

ResultPageControl::~ResultPageControl()
{
    // The pages go with their parents: no tab is forgotten on the way.
    for (QWidget* bucket : buckets_) bucket->removeEventFilter(this);
    stack_->disconnect(this);
}

QWidget* ResultPageControl::Bucket()
{
    if (buckets_.empty() || buckets_.back()->children().size() >= PagesPerBucket) {
        auto* bucket = new QWidget(holder_);
        bucket->installEventFilter(this);
        buckets_.push_back(bucket);
    }
    return buckets_.back();
}

int ResultPageControl::count() const { return static_cast<int>(pages_.size()); }

int ResultPageControl::addTab(QWidget* page, const QIcon& icon, const QString& text)
{
    pages_.push_back(page);
    strip_->AddTab(icon, text);
    if (strip_->height() != strip_->sizeHint().height()) LayOut();
    const int index = count() - 1;
    if (current_ < 0) {
        Show(index);
    } else {
        moving_ = true;
        page->setParent(Bucket());
        moving_ = false;
    }
    return index;
}

void ResultPageControl::removeTab(int index)
{
    QWidget* page = widget(index);
    if (!page) return;
    if (index == current_) {
        moving_ = true;
        stack_->removeWidget(page);
        moving_ = false;
    }
    // The page stays where it is, hidden, and is no longer the control's.
    Forget(index);
}

void ResultPageControl::Forget(int index)
{
    if (index < 0 || index >= count()) return;
    pages_.erase(pages_.begin() + index);
    strip_->RemoveTab(index);
    if (index == current_) {
        // The tab on the right of the one that went comes to the front, or the last one.
        current_ = -1;
        if (!pages_.empty()) Show(std::min(index, count() - 1));
        else emit currentChanged(-1);
    } else if (index < current_) {
        --current_;
        strip_->SetCurrent(current_);
    }
}

void ResultPageControl::Show(int index)
{
    QWidget* next = pages_[static_cast<std::size_t>(index)];
    QWidget* prev = stack_->currentWidget();
    current_ = index;
    moving_ = true;
    if (next != prev) {
        next->setGeometry(stack_->rect());
        stack_->addWidget(next);
        stack_->setCurrentWidget(next);
        if (prev) {
            stack_->removeWidget(prev);
            prev->setParent(Bucket());
        }
    }
    moving_ = false;
    strip_->SetCurrent(index);
    emit currentChanged(index);
}

void ResultPageControl::setCurrentIndex(int index)
{
    if (index < 0 || index >= count() || index == current_) return;
    Show(index);
}

bool ResultPageControl::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ChildRemoved && !moving_ && watched->parent() == holder_) {
        // The child may be half destroyed: it is compared as an object only.
        const int index = IndexOf(static_cast<QChildEvent*>(event)->child());
        if (index >= 0) Forget(index);
    }
    return QWidget::eventFilter(watched, event);
}

QWidget* ResultPageControl::currentWidget() const { return stack_->currentWidget(); }

void ResultPageControl::setCurrentWidget(QWidget* page) { setCurrentIndex(indexOf(page)); }

QWidget* ResultPageControl::widget(int index) const
{
    return index >= 0 && index < count() ? pages_[static_cast<std::size_t>(index)] : nullptr;
}

int ResultPageControl::indexOf(const QWidget* page) const { return IndexOf(page); }

int ResultPageControl::IndexOf(const QObject* page) const
{
    // The pages looked for are the first ones and the last ones.
    if (!page) return -1;
    for (int front = 0, back = count() - 1; front <= back; ++front, --back) {
        if (static_cast<const QObject*>(pages_[static_cast<std::size_t>(back)]) == page) return back;
        if (static_cast<const QObject*>(pages_[static_cast<std::size_t>(front)]) == page) return front;
    }
    return -1;
}

QString ResultPageControl::tabText(int index) const { return strip_->tabText(index); }

QIcon ResultPageControl::tabIcon(int index) const { return strip_->tabIcon(index); }

void ResultPageControl::setTabPosition(QTabWidget::TabPosition position)
{
    // The strip lies along the top or the bottom.
    if (position != QTabWidget::North && position != QTabWidget::South) position = QTabWidget::North;
    if (position == position_) return;
    position_ = position;
    strip_->SetShape(ShapeOf(position));
    LayOut();
    update();
}

namespace {

void InitFrameOption(QStyleOptionTabWidgetFrame& option, const QWidget& control, const ResultTabStrip& strip)
{
    option.initFrom(&control);
    option.lineWidth = control.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &control);
    option.shape = strip.Shape();
    option.tabBarSize = QSize(std::min(strip.sizeHint().width(), control.width()), strip.sizeHint().height());
}

} // namespace

void ResultPageControl::LayOut()
{
    QStyleOptionTabWidgetFrame option;
    InitFrameOption(option, *this, *strip_);
    QRect bar = style()->subElementRect(QStyle::SE_TabWidgetTabBar, &option, this);
    // The strip takes the whole width: its scroll buttons sit at its right end.
    bar.setLeft(0);
    bar.setRight(width() - 1);
    bar.setHeight(option.tabBarSize.height());
    strip_->setGeometry(bar);
    stack_->setGeometry(style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, this));
}

void ResultPageControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOut();
}

void ResultPageControl::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame option;
    InitFrameOption(option, *this, *strip_);
    option.rect = style()->subElementRect(QStyle::SE_TabWidgetTabPane, &option, this);
    option.tabBarRect = strip_->geometry();
    const QRect selected = strip_->tabRect(current_);
    option.selectedTabRect = selected.isValid() ? selected.translated(strip_->pos()) : QRect();
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, option);
}

void ResultPageControl::keyPressEvent(QKeyEvent* event)
{
    // Ctrl+Tab and Ctrl+Shift+Tab go round the pages.
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (!tab || !(event->modifiers() & Qt::ControlModifier) || count() < 2) {
        event->ignore();
        return;
    }
    const bool back = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
    setCurrentIndex((current_ + (back ? count() - 1 : 1)) % count());
}

void ResultPageControl::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) LayOut();
    QWidget::changeEvent(event);
}

QSize ResultPageControl::BasicSize(bool minimum) const
{
    QSize pages;
    for (int i = 0; i < count() && i < AlikePages; ++i) {
        const QWidget* page = widget(i);
        pages = pages.expandedTo(minimum ? page->minimumSizeHint() : page->sizeHint());
    }
    const QSize strip = minimum ? strip_->minimumSizeHint() : strip_->sizeHint().boundedTo(QSize(200, 200));
    QStyleOptionTabWidgetFrame option;
    InitFrameOption(option, *this, *strip_);
    option.state = QStyle::State_None;
    const QSize contents(std::max(pages.width(), strip.width()), pages.height() + strip.height());
    return style()->sizeFromContents(QStyle::CT_TabWidget, &option, contents, this);
}

QSize ResultPageControl::sizeHint() const { return BasicSize(false); }

QSize ResultPageControl::minimumSizeHint() const { return BasicSize(true); }
