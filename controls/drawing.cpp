#include "controls/drawing.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

namespace vellox::ui {

void FillGradientRect(QPainter& p, const QRect& rect, const QColor& from, const QColor& to, int direction)
{
    QLinearGradient g(rect.topLeft(), direction == 0 ? QPoint(rect.right() + 1, rect.top())
                                                     : QPoint(rect.left(), rect.bottom() + 1));
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    p.fillRect(rect, g);
}

ButtonLook ButtonLookFor(bool enabled, ButtonState state, bool focused)
{
    if (!enabled)
        return {QColor(230, 230, 230), QColor(200, 200, 200), QColor(250, 250, 250), {0, 0}};
    switch (state) {
    case ButtonState::Hover:
        return {QColor(250, 250, 250), QColor(250, 200, 200), QColor(130, 130, 255), {-1, -1}};
    case ButtonState::Pressed:
        return {QColor(250, 250, 250), QColor(150, 100, 200), QColor(30, 130, 0), {1, 1}};
    case ButtonState::Normal:
        break;
    }
    if (focused)
        return {QColor(250, 250, 250), QColor(230, 230, 100), QColor(130, 130, 255), {0, 0}};
    return {QColor(250, 250, 250), QColor(235, 235, 235), QColor(0, 0, 0), {0, 0}};
}

int ButtonRegionCorner(int height)
{
    return std::clamp(height / 10, 3, 5);
}

int ButtonFrameCorner(int height)
{
    return std::clamp(height / 10, 3, 7);
}

ArrowLines SortArrowLines(int r, int b, int u, bool ascending)
{
    ArrowLines a;
    if (ascending) {
        a.light = {{r - 2 * u, u - 1}, {r - 3 * u / 2, b - u}, {r - 5 * u / 2 - 2, b - u}};
        a.dark = {{r - 5 * u / 2 - 1, b - u - 1}, {r - 2 * u, u - 2}};
    } else {
        a.light = {{r - 3 * u / 2, u - 1}, {r - 2 * u - 1, b - u + 1}};
        a.dark = {{r - 2 * u - 1, b - u}, {r - 5 * u / 2 - 1, u - 1}, {r - 3 * u / 2, u - 1}};
    }
    return a;
}

bool SortsBefore(const QString& a, const QString& b, bool ascending)
{
    // Ordinal: code unit by code unit, an empty text first.
    const int c = QString::compare(a, b, Qt::CaseSensitive);
    return ascending ? c < 0 : c > 0;
}

QStringList ProgressLines(const QString& text)
{
    const int k = text.indexOf(QStringLiteral("\r\n"));
    if (k >= 1)
        return {text.left(k), text.mid(k + 2)};
    return {text};
}

int BusyBlockLeft(int step, int width)
{
    return width > 0 ? ((step * 80) / 3) % width : 0;
}

QColor BusyBlockColor(int step)
{
    static const QColor kShades[3] = {QColor(100, 100, 250), QColor(110, 110, 250), QColor(115, 115, 250)};
    return kShades[((step % 3) + 3) % 3];
}

QImage SkinStrip()
{
    // A soft horizontal gradient, pale blue to pale grey, with a faint sheen along the top.
    QImage img(242, 23, QImage::Format_RGB888);
    QPainter p(&img);
    FillGradientRect(p, img.rect(), QColor(214, 226, 242), QColor(236, 238, 244), 0);
    QLinearGradient sheen(0, 0, 0, 23);
    sheen.setColorAt(0, QColor(255, 255, 255, 70));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(img.rect(), sheen);
    return img;
}

} // namespace vellox::ui
