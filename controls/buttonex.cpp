#include "controls/buttonex.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>

namespace vellox::ui {

CButtonEx::CButtonEx(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    setMouseTracking(true);
    setAutoDefault(false);
    setAttribute(Qt::WA_Hover, true);
}

void CButtonEx::ApplyShape()
{
    const int k = ButtonRegionCorner(height());
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), k / 2.0, k / 2.0);
    setMask(QRegion(path.toFillPolygon().toPolygon()));
}

void CButtonEx::resizeEvent(QResizeEvent* e)
{
    QPushButton::resizeEvent(e);
    ApplyShape();
}

void CButtonEx::SetState(ButtonState s)
{
    if (s != m_nMouseState) {
        m_nMouseState = s;
        update();
    }
}

void CButtonEx::enterEvent(QEnterEvent* e)
{
    QPushButton::enterEvent(e);
    SetState(isDown() ? ButtonState::Pressed : ButtonState::Hover);
}

void CButtonEx::leaveEvent(QEvent* e)
{
    QPushButton::leaveEvent(e);
    SetState(ButtonState::Normal);
}

void CButtonEx::mousePressEvent(QMouseEvent* e)
{
    QPushButton::mousePressEvent(e);
    if (e->button() == Qt::LeftButton)
        SetState(ButtonState::Pressed);
}

void CButtonEx::mouseReleaseEvent(QMouseEvent* e)
{
    QPushButton::mouseReleaseEvent(e);
    SetState(rect().contains(e->position().toPoint()) ? ButtonState::Hover : ButtonState::Normal);
}

void CButtonEx::mouseMoveEvent(QMouseEvent* e)
{
    QPushButton::mouseMoveEvent(e);
    const bool inside = rect().contains(e->position().toPoint());
    if (!inside)
        SetState(ButtonState::Normal);
    else if ((e->buttons() & Qt::LeftButton) && isDown())
        SetState(ButtonState::Pressed);
    else if (m_nMouseState != ButtonState::Pressed || !(e->buttons() & Qt::LeftButton))
        SetState(ButtonState::Hover);
}

void CButtonEx::focusOutEvent(QFocusEvent* e)
{
    QPushButton::focusOutEvent(e);
    SetState(ButtonState::Normal);
}

void CButtonEx::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const ButtonLook look = ButtonLookFor(isEnabled(), m_nMouseState, hasFocus());
    const int d = ButtonFrameCorner(height());
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), d / 2.0, d / 2.0);
    p.setClipPath(shape);
    FillGradientRect(p, rect(), look.top, look.bottom, 1);
    p.setPen(look.text);
    p.drawText(rect().translated(look.textOffset), Qt::AlignCenter, text());
    p.setClipping(false);
    p.setPen(QPen(QColor(100, 100, 150), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
}

} // namespace vellox::ui
