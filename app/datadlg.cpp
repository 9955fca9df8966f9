#include "app/datadlg.h"
#include "app/strings.h"
#include "controls/buttonex.h"
#include "controls/skin.h"
#include "source/disk.h"
#include "source/sourcelist.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vellox::ui {

CDataDlg::CDataDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName("133");
    setWindowTitle(Tr(kPickerCaption));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(Tr(kPickerText), this);
    layout->addWidget(text);
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName("1030");
    m_tree->setHeaderHidden(true);
    m_tree->setMinimumSize(320, 220);
    layout->addWidget(m_tree);
    m_notice = new QLabel(this);
    m_notice->setWordWrap(true);
    m_notice->setStyleSheet("color: rgb(192, 0, 0);");
    m_notice->hide();
    layout->addWidget(m_notice);
    auto* buttons = new QHBoxLayout;
    auto* open = new CButtonEx(Tr(kOpenImage), this);
    open->setObjectName("1034");
    m_ok = new CButtonEx(Tr(kOk), this);
    m_ok->setObjectName("1");
    auto* cancel = new CButtonEx(Tr(kCancel), this);
    cancel->setObjectName("2");
    buttons->addWidget(open);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    m_ok->setDefault(true);

    connect(open, &QPushButton::clicked, this, &CDataDlg::OnOpenImage);
    connect(m_ok, &QPushButton::clicked, this, &CDataDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CDataDlg::reject);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &CDataDlg::OnSelectionChanged);

    m_localRoot = new QTreeWidgetItem(m_tree, QStringList(Tr(kIds141LocalDisks)));
    m_localRoot->setData(0, Qt::UserRole, 0);
    for (const auto& e : ListOpenableSources())
        AddSource(m_localRoot, QString::fromStdString(e.source), QString::fromStdString(e.caption));
    m_localRoot->setExpanded(true);
    m_tree->setCurrentItem(m_localRoot);
    if (m_localRoot->childCount() == 0) {
        // Raw disks need root or the disk group; say so instead of an empty list.
        m_notice->setText(Tr(kIds150NoDisks));
        m_notice->show();
    }
    m_imageRoot = new QTreeWidgetItem(m_tree, QStringList(Tr(kIds142ImageFiles)));
    m_imageRoot->setData(0, Qt::UserRole, 0);
    OnSelectionChanged();
}

QTreeWidgetItem* CDataDlg::AddSource(QTreeWidgetItem* parent, const QString& source, const QString& caption)
{
    m_sources << source;
    auto* item = new QTreeWidgetItem(parent, QStringList(caption));
    item->setData(0, Qt::UserRole, static_cast<int>(m_sources.size() - 1));
    return item;
}

bool CDataDlg::AddImageFile(const QString& path)
{
    CDisk disk;
    if (!disk.Open(QFile::encodeName(path).toStdString()) || disk.GetSectorCount() == 0)
        return false;
    const QString caption =
        QString::fromStdString(FormatSourceCaption(QFile::encodeName(path).toStdString(), disk.GetSectorCount()));
    QTreeWidgetItem* item = AddSource(m_imageRoot, path, caption);
    m_imageRoot->setExpanded(true);
    m_tree->setCurrentItem(item);
    return true;
}

void CDataDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    PaintSkin(p, rect(), SkinPart::LeftThird);
}

void CDataDlg::OnOpenImage()
{
    const QString path = ChooseImageFile();
    if (!path.isEmpty())
        AddImageFile(path);
}

QString CDataDlg::ChooseImageFile()
{
    return QFileDialog::getOpenFileName(this, Tr(kOpenImage), QString(), Tr(kImageFilter), nullptr,
                                        QFileDialog::ReadOnly);
}

void CDataDlg::Inform(const QString& text)
{
    QMessageBox::information(this, windowTitle(), text);
}

void CDataDlg::OnSelectionChanged()
{
    QTreeWidgetItem* item = m_tree->currentItem();
    m_ok->setEnabled(item && item->data(0, Qt::UserRole).toInt() != 0);
}

void CDataDlg::accept()
{
    QTreeWidgetItem* item = m_tree->currentItem();
    const int index = item ? item->data(0, Qt::UserRole).toInt() : 0;
    if (index < 1 || index >= m_sources.size())
        return;
    const QString source = m_sources[index];
    CDisk disk;
    if (!disk.Open(QFile::encodeName(source).toStdString())) {
        Inform(Tr(kIds112CannotOpen) + "\n" + QString::fromStdString(disk.LastError()));
        return;
    }
    m_source = source;
    QDialog::accept();
}

} // namespace vellox::ui
