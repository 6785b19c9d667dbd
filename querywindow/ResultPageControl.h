#pragma once

#include <QIcon>
#include <QTabWidget>
#include <QWidget>

#include <vector>

class QStackedWidget;
class ResultTabStrip;

// The results area's pages with a tab each: a run may add thousands of them, and a page and its
// tab are added, found and brought to the front without passing over the others. The front page
// alone is in the page stack; the others wait in a hidden holder, where no layout, paint or
// pointer lookup passes over them, a few hundred to a bucket: a change in one page looks along its
// siblings, and along those of its bucket.
class ResultPageControl : public QWidget {
    Q_OBJECT
public:
    explicit ResultPageControl(QWidget* parent = nullptr);
    ~ResultPageControl() override;

    int addTab(QWidget* page, const QIcon& icon, const QString& text);
    void removeTab(int index);
    int count() const;
    int currentIndex() const { return current_; }
    void setCurrentIndex(int index);
    QWidget* currentWidget() const;
    void setCurrentWidget(QWidget* page);
    QWidget* widget(int index) const;
    int indexOf(const QWidget* page) const;
    QString tabText(int index) const;
    QIcon tabIcon(int index) const;
    QTabWidget::TabPosition tabPosition() const { return position_; }
    void setTabPosition(QTabWidget::TabPosition position);
    ResultTabStrip* tabBar() const { return strip_; }
    // The stack of the front page: its change of the front page comes before currentChanged.
    QStackedWidget* Pages() const { return stack_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // No page's height hangs on its width: the layout around does not ask every page at each change.
    bool hasHeightForWidth() const override { return false; }

signals:
    void currentChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Brings page index to the front stack; the page there before goes to the holder.
    void Show(int index);
    // A page went away (deleted or taken by another parent): its tab goes with it.
    void Forget(int index);
    int IndexOf(const QObject* page) const;
    // The bucket of the holder where the next page goes.
    QWidget* Bucket();
    void LayOut();
    QSize BasicSize(bool minimum) const;

    QStackedWidget* stack_;
    QWidget* holder_;
    std::vector<QWidget*> buckets_;
    ResultTabStrip* strip_;
    std::vector<QWidget*> pages_;
    bool moving_ = false; // the control itself moves a page between the stack and the holder
    QTabWidget::TabPosition position_ = QTabWidget::North;
    int current_ = -1;
};
