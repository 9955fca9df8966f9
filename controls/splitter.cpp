#include "controls/splitter.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace vellox::ui {

CSplitterHandle::CSplitterHandle(Qt::Orientation o, QSplitter* parent) : QSplitterHandle(o, parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void CSplitterHandle::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(220, 230, 240));
    p.setPen(QColor(0, 0, 0));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CSplitterHandle::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::RightButton && m_dragging) {
        // A right-button press ends the drag where it is.
        Finish();
        return;
    }
    QSplitterHandle::mousePressEvent(e);
    if (e->button() == Qt::LeftButton) {
        m_dragging = true;
        m_lastPos = e->position().toPoint();
        grabKeyboard();
    }
}

void CSplitterHandle::mouseMoveEvent(QMouseEvent* e)
{
    if (m_dragging)
        m_lastPos = e->position().toPoint();
    QSplitterHandle::mouseMoveEvent(e);
}

void CSplitterHandle::mouseReleaseEvent(QMouseEvent* e)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    releaseKeyboard();
    QSplitterHandle::mouseReleaseEvent(e);
}

void CSplitterHandle::keyPressEvent(QKeyEvent* e)
{
    if (m_dragging && e->key() == Qt::Key_Escape) {
        // Escape ends the drag like a button release, at the last position.
        Finish();
        return;
    }
    e->ignore();
}

void CSplitterHandle::Finish()
{
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(m_lastPos), mapToGlobal(QPointF(m_lastPos)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    mouseReleaseEvent(&release);
}

CSplitterEx::CSplitterEx(Qt::Orientation o, QWidget* parent) : QSplitter(o, parent)
{
    setOpaqueResize(false);
    setHandleWidth(5);
    setChildrenCollapsible(false);
}

QSplitterHandle* CSplitterEx::createHandle()
{
    return new CSplitterHandle(orientation(), this);
}

} // namespace vellox::ui
