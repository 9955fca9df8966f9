// The dialogs' background: the skin strip stretched over the client area (the main window uses the whole
// strip, the other dialogs its left third).
#pragma once

#include <QRect>

class QPainter;

namespace vellox::ui {

enum class SkinPart { Whole, LeftThird };
void PaintSkin(QPainter& p, const QRect& client, SkinPart part);

} // namespace vellox::ui
