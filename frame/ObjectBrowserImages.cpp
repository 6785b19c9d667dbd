#include "ObjectBrowserImages.h"

#include <QHash>
#include <QPainter>
#include <QPixmap>

namespace ObjectBrowserImages {

namespace {

void Folder(QPainter& p, bool open)
{
    p.setPen(QColor(150, 110, 20));
    p.setBrush(QColor(240, 200, 80));
    p.drawRect(1, 4, 13, 9);
    p.drawRect(1, 3, 5, 2);
    if (open) {
        p.setBrush(QColor(255, 225, 130));
        p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(13, 13), QPoint(1, 13)}));
    }
}

void Grid(QPainter& p, const QColor& header)
{
    p.setPen(QColor(60, 60, 90));
    p.setBrush(Qt::white);
    p.drawRect(1, 2, 13, 11);
    p.fillRect(2, 3, 12, 3, header);
    p.drawLine(1, 9, 14, 9);
    p.drawLine(7, 6, 7, 13);
}

void Bar(QPainter& p, const QColor& colour)
{
    p.setPen(colour.darker(150));
    p.setBrush(colour);
    p.drawRect(2, 5, 11, 5);
}

QIcon Draw(int index)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    switch (index) {
    case ClosedFolder: Folder(p, false); break;
    case OpenFolder: Folder(p, true); break;
    case Table: Grid(p, QColor(70, 110, 200)); break;
    case OtherTable: Grid(p, QColor(120, 160, 120)); break;
    case View: Grid(p, QColor(200, 130, 60)); break;
    case Column: Bar(p, QColor(120, 170, 230)); break;
    case KeyColumn:
        Bar(p, QColor(230, 200, 60));
        p.setPen(QColor(120, 90, 0));
        p.drawEllipse(4, 6, 3, 3);
        break;
    case IndexColumn: Bar(p, QColor(180, 180, 180)); break;
    case Index:
        p.setPen(QColor(40, 110, 40));
        for (int y : {3, 7, 11}) p.drawLine(2, y, 13, y);
        break;
    case Connection:
        p.setPen(QColor(50, 70, 120));
        p.setBrush(QColor(150, 180, 230));
        p.drawEllipse(2, 1, 11, 4);
        p.drawRect(2, 3, 11, 10);
        p.drawEllipse(2, 11, 11, 4);
        break;
    case Procedure:
        p.setPen(QColor(120, 40, 120));
        p.setBrush(QColor(220, 170, 230));
        p.drawRect(2, 2, 11, 12);
        p.drawLine(4, 6, 11, 6);
        p.drawLine(4, 9, 11, 9);
        break;
    case Parameter:
        p.setPen(QColor(120, 40, 120));
        p.setBrush(QColor(240, 210, 245));
        p.drawEllipse(3, 4, 9, 8);
        break;
    default: return QIcon();
    }
    p.end();
    return QIcon(pixmap);
}

} // namespace

QIcon Image(int index)
{
    static QHash<int, QIcon> cache;
    auto it = cache.find(index);
    if (it == cache.end()) it = cache.insert(index, Draw(index));
    return *it;
}

} // namespace ObjectBrowserImages
