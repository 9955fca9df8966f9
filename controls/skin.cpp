#include "controls/skin.h"
#include "controls/drawing.h"

#include <QImage>
#include <QPainter>

namespace vellox::ui {

void PaintSkin(QPainter& p, const QRect& client, SkinPart part)
{
    static const QImage strip = SkinStrip();
    if (strip.isNull()) {
        p.fillRect(client, QColor(220, 220, 228));
        return;
    }
    const int width = part == SkinPart::Whole ? strip.width() : strip.width() / 3;
    p.drawImage(client, strip, QRect(0, 0, width, strip.height()));
}

} // namespace vellox::ui
