#include "app/helpdlg.h"
#include "app/strings.h"
#include "controls/buttonex.h"
#include "controls/drawing.h"
#include "controls/skin.h"

#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

// The resources live in a static library, whose initialiser the linker may drop unless it is called.
static void InitVelloxResources()
{
    Q_INIT_RESOURCE(vellox);
}

namespace vellox::ui {

QString CHelpDlg::UsageText()
{
    static const bool initialised = (InitVelloxResources(), true);
    (void)initialised;
    QFile f(QStringLiteral(":/DAT/149"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    if (bytes.size() < 2)
        return {};
    // Skip the byte-order mark FF FE; the rest is UTF-16 little-endian.
    const int units = static_cast<int>((bytes.size() - 2) / 2);
    QString text;
    text.resize(units);
    for (int i = 0; i < units; ++i)
        text[i] = QChar(static_cast<char16_t>(static_cast<uint8_t>(bytes[2 + 2 * i]) |
                                              (static_cast<uint8_t>(bytes[3 + 2 * i]) << 8)));
    return text;
}

CHelpDlg::CHelpDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName("138");
    setWindowTitle(Tr("帮助"));
    setFixedSize(483, 317);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName("135");
    m_text->setGeometry(10, 10, 462, 242);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setStyleSheet(QStringLiteral("QPlainTextEdit { color: rgb(50, 20, 0); background: rgb(230, 230, 240); }"));
    QString usage = UsageText();
    usage.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_text->setPlainText(usage);
    auto* ok = new CButtonEx(Tr(kOk), this);
    ok->setObjectName("1");
    ok->setGeometry(195, 268, 92, 38);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void CHelpDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    PaintSkin(p, rect(), SkinPart::LeftThird);
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName("100");
    setWindowTitle(Tr("关于 Vellox"));
    setFixedSize(362, 159);
    auto* icon = new QLabel(this);
    icon->setPixmap(AppIcon().pixmap(30, 30));
    icon->setGeometry(16, 25, 30, 30);
    auto* name = new QLabel(QStringLiteral("Vellox V3.0"), this);
    name->setGeometry(60, 15, 234, 16);
    auto* line1 = new QLabel(Tr("邮件碎片扫描恢复软件 for Outlook Express & Foxmail"), this);
    line1->setGeometry(60, 36, 290, 16);
    auto* line2 = new QLabel(Tr("逐个扇区找回邮件，从不写入待恢复的磁盘。"), this);
    line2->setGeometry(60, 57, 290, 16);
    auto* ok = new QPushButton(Tr(kOk), this);
    ok->setObjectName("1");
    ok->setGeometry(138, 112, 75, 34);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QIcon AppIcon()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    FillGradientRect(p, QRect(2, 6, 28, 20), QColor(60, 120, 200), QColor(20, 60, 130), 1);
    p.setPen(QPen(QColor(255, 255, 255), 2));
    p.drawLine(3, 7, 16, 17);
    p.drawLine(29, 7, 16, 17);
    return QIcon(pm);
}

} // namespace vellox::ui
