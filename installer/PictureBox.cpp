#include "PictureBox.h"

#include <QPainter>

PictureBox::PictureBox(const QPixmap& picture, QWidget* parent) : QWidget(parent), picture_(picture) {}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}
