// Pure drawing rules of the custom controls, kept apart from the widgets so that tests can check them.
#pragma once

#include <QColor>
#include <QImage>
#include <QStringList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QVector>

class QPainter;

namespace vellox::ui {

// Fills rect with a two-colour gradient: direction 0 left to right, 1 top to bottom.
void FillGradientRect(QPainter& p, const QRect& rect, const QColor& from, const QColor& to, int direction);

// Owner-drawn button.
enum class ButtonState { Normal = 0, Hover = 1, Pressed = 2 };
struct ButtonLook {
    QColor top, bottom, text;
    QPoint textOffset;
};
ButtonLook ButtonLookFor(bool enabled, ButtonState state, bool focused);
// Corner size of the button's window shape (height / 10, clamped to 3..5) and of its painted frame
// (height / 10, clamped to 3..7).
int ButtonRegionCorner(int height);
int ButtonFrameCorner(int height);

// List header: the polylines of the sort arrow of a heading whose right edge is r and bottom edge b,
// u = twice the width of a space (or 4 for a narrow heading). First the light line, then the dark one.
struct ArrowLines {
    QVector<QPoint> light, dark;
};
ArrowLines SortArrowLines(int r, int b, int u, bool ascending);
// Ordinal comparison of two list texts (UTF-16 code units); an empty text sorts first when ascending.
bool SortsBefore(const QString& a, const QString& b, bool ascending);

// Progress text: the two lines of a status text, or one line when it has no "\r\n" after its first
// character.
QStringList ProgressLines(const QString& text);
// Busy block of the progress window at a given step, for a client width w.
int BusyBlockLeft(int step, int width);
QColor BusyBlockColor(int step);

// Dialog skin: the background strip (242 x 23), drawn here rather than loaded.
QImage SkinStrip();

} // namespace vellox::ui
