#include "controls/progresswnd.h"
#include "controls/drawing.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionProgressBar>
#include <atomic>

namespace vellox::ui {

namespace {
std::atomic<int> g_nBusyStep{0};
}

CProgressWnd::CProgressWnd(QWidget* parent) : QProgressBar(parent)
{
    setTextVisible(false);
}

void CProgressWnd::SetText(const QString& text)
{
    m_strText = text;
    update();
}

void CProgressWnd::SetBusy(bool busy)
{
    m_bBusy = busy;
    update();
}

void CProgressWnd::paintEvent(QPaintEvent* e)
{
    QProgressBar::paintEvent(e);
    QPainter p(this);
    const QRect r = rect();
    QColor textColor(250, 100, 50);
    if (m_bBusy && r.width() > 0) {
        const int step = g_nBusyStep.fetch_add(1);
        const int x = BusyBlockLeft(step, r.width());
        p.fillRect(QRect(x, r.top() + 5, 40, r.height() - 10), BusyBlockColor(step));
        textColor = QColor(10, 10, 50);
    }
    p.setPen(textColor);
    const QStringList lines = ProgressLines(m_strText);
    if (lines.size() == 2) {
        const int mid = r.top() + r.height() / 2;
        p.drawText(QRect(r.left(), r.top(), r.width(), mid - r.top() - 1), Qt::AlignHCenter | Qt::AlignBottom,
                   lines[0]);
        p.drawText(QRect(r.left(), mid + 1, r.width(), r.bottom() - mid), Qt::AlignHCenter | Qt::AlignTop, lines[1]);
    } else {
        p.drawText(r, Qt::AlignCenter, m_strText);
    }
}

CSplashWnd::CSplashWnd(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_bitmap(Picture())
{
    setFixedSize(m_bitmap.size());
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void CSplashWnd::paintEvent(QPaintEvent*)
{
    QPainter(this).drawPixmap(0, 0, m_bitmap);
}

QPixmap CSplashWnd::Picture()
{
    QPixmap pm(400, 300);
    QPainter p(&pm);
    FillGradientRect(p, pm.rect(), QColor(28, 76, 140), QColor(8, 28, 60), 1);
    // An envelope outline above the name.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 220, 250), 3));
    const QRect env(160, 40, 80, 52);
    p.drawRect(env);
    p.drawLine(env.topLeft(), env.center());
    p.drawLine(env.topRight(), env.center());
    p.setPen(QColor(255, 255, 255));
    QFont f = p.font();
    f.setPointSize(30);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 110, 400, 60), Qt::AlignCenter, QStringLiteral("Vellox"));
    f.setPointSize(12);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(0, 175, 400, 30), Qt::AlignCenter, QString::fromUtf8("邮件碎片扫描恢复软件 V3.0"));
    p.drawText(QRect(0, 250, 400, 30), Qt::AlignCenter, QStringLiteral("for Outlook Express & Foxmail"));
    return pm;
}

} // namespace vellox::ui
