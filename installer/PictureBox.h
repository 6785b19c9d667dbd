// A fixed picture drawn at its natural size from the top left and clipped to the box; it looks the
// same whether its parent is enabled or not (a disabled label would grey it).
#pragma once

#include <QPixmap>
#include <QWidget>

class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(const QPixmap& picture, QWidget* parent);
    const QPixmap& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};
