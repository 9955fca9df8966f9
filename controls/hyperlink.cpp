#include "controls/hyperlink.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMouseEvent>

namespace vellox::ui {

namespace {
bool OpenWithDesktop(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}
} // namespace

bool (*CHyperLink::s_openUrl)(const QUrl&) = OpenWithDesktop;

CHyperLink::CHyperLink(const QString& text, const QString& target, QWidget* parent) : QLabel(text, parent)
{
    // A link without text shows its target; one without target opens its text.
    if (text.isEmpty())
        setText(target);
    SetTarget(target.isEmpty() ? text : target);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover, true);
    setAutoFillBackground(false);
    Restyle();
}

void CHyperLink::SetTarget(const QString& target)
{
    m_strTarget = target;
    setToolTip(target);
}

void CHyperLink::SetVisitedState(bool visited)
{
    m_bVisited = visited;
    Restyle();
}

QColor CHyperLink::CurrentColor() const
{
    return m_bMouseOver ? m_clrHover : (m_bVisited ? m_clrVisited : m_clrLink);
}

void CHyperLink::Restyle()
{
    QFont f = font();
    f.setUnderline(m_bMouseOver);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, CurrentColor());
    setPalette(pal);
    update();
}

void CHyperLink::enterEvent(QEnterEvent* e)
{
    QLabel::enterEvent(e);
    m_bMouseOver = true;
    Restyle();
}

void CHyperLink::leaveEvent(QEvent* e)
{
    QLabel::leaveEvent(e);
    m_bMouseOver = false;
    Restyle();
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* e)
{
    QLabel::mouseReleaseEvent(e);
    if (e->button() != Qt::LeftButton || !rect().contains(e->position().toPoint()))
        return;
    m_bMouseOver = false;
    const QUrl url = QUrl::fromUserInput(m_strTarget);
    if (s_openUrl(url))
        m_bVisited = true;
    else
        QApplication::beep();
    Restyle();
}

} // namespace vellox::ui
