#include "app/searchdlg.h"
#include "app/strings.h"
#include "controls/buttonex.h"
#include "controls/skin.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>

namespace vellox::ui {

CSearchDlg::CSearchDlg(const QString& initial, QWidget* parent) : QDialog(parent)
{
    setObjectName("143");
    setWindowTitle(Tr("查找设置"));
    // 186 x 94 dialog units ("MS Shell Dlg" 8 pt): about 1.5 pixels each.
    setFixedSize(279, 141);
    auto* label = new QLabel(Tr("查找的内容"), this);
    label->setGeometry(27, 21, 100, 14);
    m_edit = new QLineEdit(initial, this);
    m_edit->setObjectName("135");
    m_edit->setGeometry(25, 37, 228, 23);
    auto* ok = new CButtonEx(Tr("确定"), this);
    ok->setObjectName("1");
    ok->setGeometry(57, 102, 75, 28);
    ok->setDefault(true);
    auto* cancel = new CButtonEx(Tr("取消"), this);
    cancel->setObjectName("2");
    cancel->setGeometry(142, 100, 75, 30);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_edit->selectAll();
}

QString CSearchDlg::Text() const
{
    return m_edit->text();
}

void CSearchDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    PaintSkin(p, rect(), SkinPart::LeftThird);
}

QString LowerAsciiLetters(QString s)
{
    for (QChar& c : s)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + 32);
    return s;
}

int FindNextRow(int rowCount, int start, const QString& needle,
                const std::function<std::optional<QString>(int)>& rowText)
{
    auto pass = [&](int from, int to) {
        for (int row = from; row < to; ++row) {
            const std::optional<QString> text = rowText(row);
            if (!text)
                return -1;
            if (text->contains(needle))
                return row;
        }
        return -1;
    };
    const int first = pass(start, rowCount);
    if (first >= 0)
        return first;
    return pass(0, std::min(start, rowCount));
}

} // namespace vellox::ui
