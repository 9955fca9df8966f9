#include "app/velloxdlg.h"
#include "app/datadlg.h"
#include "app/guihost.h"
#include "app/helpdlg.h"
#include "app/searchdlg.h"
#include "app/htmlctrl.h"
#include "app/maillistmodel.h"
#include "app/strings.h"
#include "controls/buttonex.h"
#include "controls/hyperlink.h"
#include "controls/listctrlex.h"
#include "controls/progresswnd.h"
#include "controls/skin.h"
#include "controls/splitter.h"
#include "export/preview.h"
#include "export/reread.h"
#include "export/writers.h"
#include "mime/charset.h"
#include "scan/mailitem.h"
#include "scan/scanrun.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QThread>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

namespace vellox::ui {

namespace {

// Dialog units of the window template ("宋体" 9 pt) in pixels.
constexpr double kDluX = 1.5;
constexpr double kDluY = 1.5;
constexpr int kProgressScale = 10000;

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

QString Arg(const char* text, const QString& a)
{
    return Tr(text).arg(a);
}

// The left column under the splitter: the tree, and the contact block at the bottom, each line 15 pixels
// high and 4 pixels apart, the last one 15 pixels above the column's end.
class LeftColumn : public QWidget {
public:
    using QWidget::QWidget;
    QWidget* tree = nullptr;
    QLabel* lines[5] = {};

protected:
    void resizeEvent(QResizeEvent*) override
    {
        const int w = width(), h = height();
        if (tree)
            tree->setGeometry(0, 0, w, std::max(0, h - 110));
        for (int i = 0; i < 5; ++i)
            if (lines[i])
                lines[i]->setGeometry(0, h - 91 + 19 * i, w, 15);
    }
};

} // namespace

QString& CVelloxDlg::LastSearchText()
{
    static QString text;
    return text;
}

CVelloxDlg::CVelloxDlg(QWidget* parent) : QDialog(parent), m_host(std::make_unique<GuiHost>(this))
{
    InitEncodeTypes();
    setWindowTitle(Tr(kCaption));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setMinimumSize(800, 600);
    resize(static_cast<int>(526 * kDluX), static_cast<int>(367 * kDluY));

    setWindowIcon(AppIcon());
    auto button = [this](int id, const char* text, QRect r) {
        auto* b = new CButtonEx(Tr(text), this);
        b->setObjectName(QString::number(id));
        b->setGeometry(r);
        b->setAutoDefault(false);
        b->setDefault(false);
        return b;
    };
    m_btnSave = button(133, kSave, Dlu(6, 7, 37, 33));
    m_btnData = button(134, kData, Dlu(46, 7, 37, 33));
    m_btnHelp = button(148, kHelp, Dlu(86, 7, 37, 33));
    m_btnFind = button(138, kFind, Dlu(166, 7, 37, 33));
    m_btnStop = button(135, kStop, Dlu(482, 7, 37, 33));
    m_btnSave->setEnabled(false);
    m_btnStop->setEnabled(false);

    m_progress = new CProgressWnd(this);
    m_progress->setObjectName("1029");
    m_progress->setGeometry(Dlu(210, 14, 267, 23));
    m_progress->setRange(0, 0);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);

    // 322 splits the left column from the right one, 323 the list from the preview.
    m_splitX = new CSplitterEx(Qt::Horizontal, this);
    m_splitX->setObjectName("322");
    auto* left = new LeftColumn(m_splitX);
    m_leftColumn = left;
    left->setMinimumWidth(200);
    m_splitY = new CSplitterEx(Qt::Vertical, m_splitX);
    m_splitY->setObjectName("323");
    m_splitY->setMinimumWidth(300);
    m_splitX->addWidget(left);
    m_splitX->addWidget(m_splitY);
    m_splitX->setStretchFactor(0, 0);
    m_splitX->setStretchFactor(1, 1);

    m_tree = new QTreeWidget(left);
    left->tree = m_tree;
    m_tree->setObjectName("1030");
    m_tree->setHeaderHidden(true);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->setWindowIcon(AppIcon());

    m_model = new MailListModel(this);
    m_list = new CListCtrlEx(true, m_splitY);
    m_list->setObjectName("1031");
    m_list->setModel(m_model);
    m_list->setMinimumHeight(100);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    const int widths[] = {25, 200, 130, 800};
    for (int c = 0; c < 4; ++c)
        m_list->setColumnWidth(c, widths[c]);
    m_previewBox = new QWidget(m_splitY);
    m_previewBox->setMinimumHeight(100);
    auto* previewLayout = new QVBoxLayout(m_previewBox);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    m_splitY->addWidget(m_list);
    m_splitY->addWidget(m_previewBox);
    m_splitY->setStretchFactor(0, 0);
    m_splitY->setStretchFactor(1, 1);

    // The contact block under the tree: 1036 (kept hidden), 1035 (web link), 1037 (e-mail link), 1038, 1039.
    const int ids[5] = {1036, 1035, 1037, 1038, 1039};
    m_contact[0] = new QLabel(left);
    m_contact[1] = new CHyperLink(Tr("Vellox 邮件恢复 主页"), QStringLiteral("https://vellox.example.org/"), left);
    m_contact[2] = new CHyperLink(QStringLiteral("support@vellox.example.org"),
                                  QStringLiteral("mailto:support@vellox.example.org"), left);
    m_contact[3] = new QLabel(Tr("恢复邮件时请勿写入待恢复的磁盘"), left);
    m_contact[4] = new QLabel(QStringLiteral("Vellox V3.0"), left);
    for (int i = 0; i < 5; ++i) {
        m_contact[i]->setObjectName(QString::number(ids[i]));
        left->lines[i] = m_contact[i];
    }
    m_contact[0]->hide();

    m_preview = new CHtmlCtrl(m_previewBox);
    previewLayout->addWidget(m_preview);
    m_splitX->setSizes({static_cast<int>(189 * kDluX), 600});
    m_splitY->setSizes({static_cast<int>(200 * kDluY), 300});

    connect(m_btnData, &QPushButton::clicked, this, &CVelloxDlg::OnDataButton);
    connect(m_btnStop, &QPushButton::clicked, this, &CVelloxDlg::OnStopButton);
    connect(m_btnSave, &QPushButton::clicked, this, &CVelloxDlg::OnSaveButton);
    connect(m_btnHelp, &QPushButton::clicked, this, &CVelloxDlg::OnHelp);
    connect(m_btnFind, &QPushButton::clicked, this, &CVelloxDlg::OnFind);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this] { FillMailList(); });
    connect(m_tree, &QWidget::customContextMenuRequested, this, &CVelloxDlg::OnTreeContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, &CVelloxDlg::OnListContextMenu);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    PreviewMail(m_model->RecordAt(current.row()));
            });

    qApp->installEventFilter(this);
    ResetFolderTree();
    LayoutPanes();
}

CVelloxDlg::~CVelloxDlg()
{
    m_destroying = true;
    qApp->removeEventFilter(this);
    g_bStopScan = 1;
    WaitForWorkers(-1);
    if (m_scanThread.joinable())
        m_scanThread.join();
    if (m_saveThread.joinable())
        m_saveThread.join();
    m_model->Clear();
}

QRect CVelloxDlg::Dlu(int x, int y, int w, int h) const
{
    return QRect(static_cast<int>(x * kDluX), static_cast<int>(y * kDluY), static_cast<int>(w * kDluX),
                 static_cast<int>(h * kDluY));
}

QPushButton* CVelloxDlg::Button(int id) const
{
    return findChild<QPushButton*>(QString::number(id));
}

void CVelloxDlg::StartAutoOpen()
{
    QTimer::singleShot(1000, this, [this] {
        if (m_btnData->isEnabled())
            m_btnData->click();
    });
}

// ---------------------------------------------------------------------------------------------- layout

void CVelloxDlg::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    LayoutPanes();
}

void CVelloxDlg::LayoutPanes()
{
    const int W = width();
    const int H = height();
    if (!m_splitX || W <= 0)
        return;
    // The panes start below the buttons, at the tree's place in the template, and end 10 pixels from the
    // window's right and bottom edges; the splitter keeps the sizes the user dragged.
    const QRect origin = Dlu(6, 47, 189, 239);
    m_splitX->setGeometry(origin.left(), origin.top(), std::max(0, W - 10 - origin.left()),
                          std::max(0, H - 10 - origin.top()));
    QList<int> sizes = m_splitX->sizes();
    if (sizes.size() == 2 && sizes[0] > W / 2) {
        const int total = sizes[0] + sizes[1];
        sizes[0] = W / 2;
        sizes[1] = total - sizes[0];
        m_splitX->setSizes(sizes);
    }
    update();
}

void CVelloxDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    PaintSkin(p, rect(), SkinPart::Whole);
}

void CVelloxDlg::contextMenuEvent(QContextMenuEvent* e)
{
    // The about box, which the system menu offers on other platforms.
    QMenu menu(this);
    menu.addAction(Tr(kIds101About), this, &CVelloxDlg::OnAbout);
    menu.exec(e->globalPos());
}

void CVelloxDlg::OnHelp()
{
    CHelpDlg dlg(this);
    dlg.exec();
}

void CVelloxDlg::OnAbout()
{
    CAboutDlg dlg(this);
    dlg.exec();
}

std::optional<QString> CVelloxDlg::AskSearchText(const QString& initial)
{
    CSearchDlg dlg(initial, this);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.Text();
}

void CVelloxDlg::OnFind()
{
    if (m_model->rowCount() == 0)
        return;
    const std::optional<QString> text = AskSearchText(LastSearchText());
    if (!text || text->isEmpty())
        return;
    LastSearchText() = *text;
    const QModelIndex current = m_list->currentIndex();
    const bool selected = current.isValid() && m_list->selectionModel()->isRowSelected(current.row(), QModelIndex());
    const int start = selected ? current.row() + 1 : 0;
    const QString needle = LowerAsciiLetters(*text);
    const int row = FindNextRow(m_model->rowCount(), start, needle, [this](int r) -> std::optional<QString> {
        const tagMailItem* m = m_model->RecordAt(r);
        if (!m)
            return std::nullopt;
        const auto snap = m->TakeSnapshot();
        return LowerAsciiLetters(QString::fromStdU16String(m->strFromText + m->strToText + m->strSubjectText +
                                                           snap.strBodyText));
    });
    if (row < 0)
        return;
    const QModelIndex target = m_model->index(row, 0);
    m_list->setCurrentIndex(target);
    m_list->selectionModel()->select(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_list->scrollTo(target);
    m_list->setFocus();
}

// ------------------------------------------------------------------------------------ folder tree, list

void CVelloxDlg::ResetFolderTree()
{
    m_mapFolders.clear();
    m_model->Clear();
    m_list->ForgetSort();
    m_tree->blockSignals(true);
    m_tree->clear();
    m_tree->blockSignals(false);
    m_btnFind->setEnabled(false);
    m_arrFolders.clear();

    QString root = Tr(kIds160Root);
    const QString source = QString::fromStdString(g_strDataSource);
    if (!source.isEmpty()) {
        QString name = source;
        while (name.size() > 1 && name.endsWith('/'))
            name.chop(1);
        const int slash = name.lastIndexOf('/');
        root += QStringLiteral(" [%1]").arg(slash >= 0 ? name.mid(slash + 1) : name);
    }
    auto* rootItem = new QTreeWidgetItem(QStringList(root));
    m_tree->addTopLevelItem(rootItem);
    auto* inbox = new QTreeWidgetItem(rootItem, QStringList(Tr(kIds161Inbox)));
    auto folder = std::make_unique<tagFolderItem>();
    folder->hItem = inbox;
    folder->strName = Tr(kIds161Inbox);
    inbox->setData(0, Qt::UserRole, QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(folder.get())));
    m_mapFolders[folder->strName] = inbox;
    m_arrFolders.push_back(std::move(folder));
    rootItem->setExpanded(true);
    m_tree->setCurrentItem(nullptr);
}

CVelloxDlg::tagFolderItem* CVelloxDlg::SelectedFolder() const
{
    QTreeWidgetItem* item = m_tree->currentItem();
    if (!item)
        return nullptr;
    return reinterpret_cast<tagFolderItem*>(item->data(0, Qt::UserRole).value<quintptr>());
}

void CVelloxDlg::ShowPendingRecords()
{
    AddMailToInbox(m_host->TakePending());
}

void CVelloxDlg::AddMailToInbox(const std::vector<tagMailItem*>& oldestFirst)
{
    if (oldestFirst.empty())
        return;
    auto it = m_mapFolders.find(Tr(kIds161Inbox));
    if (it == m_mapFolders.end() || !it->second)
        return;
    auto* folder = reinterpret_cast<tagFolderItem*>(it->second->data(0, Qt::UserRole).value<quintptr>());
    if (!folder)
        return;
    for (tagMailItem* m : oldestFirst)
        folder->lstMails.push_front(m);
    if (m_tree->currentItem() == it->second) {
        m_model->AddNewest(oldestFirst);
        if (!m_btnFind->isEnabled())
            m_btnFind->setEnabled(true);
    }
}

void CVelloxDlg::ShowInboxCount()
{
    auto it = m_mapFolders.find(Tr(kIds161Inbox));
    if (it == m_mapFolders.end() || !it->second)
        return;
    auto* folder = reinterpret_cast<tagFolderItem*>(it->second->data(0, Qt::UserRole).value<quintptr>());
    it->second->setText(0, Tr(kIds161Inbox) + QStringLiteral(" (%1)").arg(folder ? folder->lstMails.size() : 0));
    if (m_tree->currentItem() != it->second)
        m_tree->setCurrentItem(it->second);
}

void CVelloxDlg::FillMailList()
{
    RecreatePreviewCtrl();
    m_model->Clear();
    m_list->ForgetSort();
    tagFolderItem* folder = SelectedFolder();
    if (folder) {
        WaitCursor wait;
        std::vector<tagMailItem*> oldestFirst(folder->lstMails.rbegin(), folder->lstMails.rend());
        for (tagMailItem* m : oldestFirst)
            MergeAttachments(*m);
        m_model->SetRecords(std::move(oldestFirst));
        if (m_model->rowCount() > 0 && !m_btnFind->isEnabled())
            m_btnFind->setEnabled(true);
    }
    m_btnSave->setEnabled(m_model->rowCount() > 0);
}

tagMailItem* CVelloxDlg::SelectedMail() const
{
    const QModelIndex i = m_list->currentIndex();
    if (!i.isValid() || !m_list->selectionModel()->isRowSelected(i.row(), QModelIndex()))
        return nullptr;
    return m_model->RecordAt(i.row());
}

void CVelloxDlg::RecreatePreviewCtrl()
{
    if (QThread::currentThread() != thread())
        return;
    delete m_preview;
    m_preview = new CHtmlCtrl(m_previewBox);
    m_previewBox->layout()->addWidget(m_preview);
    m_preview->show();
}

void CVelloxDlg::PreviewMail(tagMailItem* item)
{
    if (!item)
        return;
    WaitCursor wait;
    std::atomic<int> neverStop{0};
    ByteString text;
    ReReadMessage(*item, nullptr, &neverStop, text);
    RecreatePreviewCtrl();
    const std::u16string html = BuildPreviewHtml(*item, text);
    if (!html.empty())
        m_preview->LoadHtmlText(QString::fromStdU16String(html));
}

void CVelloxDlg::OnTreeContextMenu(const QPoint& pos)
{
    QTreeWidgetItem* item = m_tree->itemAt(pos);
    if (item && item != m_tree->currentItem())
        m_tree->setCurrentItem(item);
    item = m_tree->currentItem();
    tagFolderItem* folder = SelectedFolder();
    if (!item || !item->parent() || !folder || folder->lstMails.empty())
        return;
    QMenu menu(this);
    menu.addAction(Tr(kSaveAsEml), this, [this] { OnSaveFolder(kSaveEml); });
    menu.addSeparator();
    menu.addAction(Tr(kSaveAsTxt), this, [this] { OnSaveFolder(kSaveTxt); });
    menu.exec(QCursor::pos());
}

void CVelloxDlg::OnListContextMenu(const QPoint&)
{
    if (!SelectedMail())
        return;
    QMenu menu(this);
    menu.addAction(Tr(kSaveAsEml), this, [this] { OnSaveSelected(kSaveEml); });
    menu.addSeparator();
    menu.addAction(Tr(kSaveAsTxt), this, [this] { OnSaveSelected(kSaveTxt); });
    // The properties item shows only while the chord Ctrl+P is held.
    if ((QApplication::keyboardModifiers() & Qt::ControlModifier) && m_keysDown.contains(Qt::Key_P)) {
        menu.addSeparator();
        menu.addAction(Tr(kProperties), this, &CVelloxDlg::ShowMailProperties);
    }
    menu.exec(QCursor::pos());
}

void CVelloxDlg::ShowMailProperties()
{
    tagMailItem* m = SelectedMail();
    if (!m)
        return;
    Inform(Tr(kIds103Properties).arg(QString::fromStdString(g_strDataSource)).arg(m->nStartSector));
}

// ------------------------------------------------------------------------------------------------ scans

void CVelloxDlg::OnDataButton()
{
    m_btnData->setEnabled(false);
    if (g_bUnsaved && Ask(Tr(kIds104Rescan), QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
        m_btnData->setEnabled(true);
        return;
    }
    if (auto source = ChooseSource())
        StartScan(*source);
    m_btnData->setEnabled(!m_scanRunning);
}

void CVelloxDlg::StartScan(const QString& source)
{
    if (m_scanRunning)
        return;
    if (m_scanThread.joinable())
        m_scanThread.join();
    g_strDataSource = source.toStdString();
    RecreatePreviewCtrl();
    m_scanRunning = true;
    g_bStopScan = 0;
    m_scanThread = std::thread([host = m_host.get()] { ScanThreadProc(host); });
}

void CVelloxDlg::OnScanStarted(uint64_t)
{
    m_btnData->setEnabled(false);
    m_btnSave->setEnabled(false);
    m_btnStop->setEnabled(true);
    m_progress->setRange(0, kProgressScale);
    m_progress->setValue(0);
}

void CVelloxDlg::SetProgressPos(uint64_t pos)
{
    // A save job counts messages; a scan counts sectors, scaled to the bar's range.
    if (m_saveRunning) {
        m_progress->setValue(static_cast<int>(std::min<uint64_t>(pos, m_progress->maximum())));
        return;
    }
    const uint64_t total = g_nTotalSectors.load();
    if (total > 0)
        m_progress->setValue(static_cast<int>(pos * kProgressScale / total));
}

void CVelloxDlg::SetProgressText(const QString& text)
{
    m_progress->SetText(text);
}

void CVelloxDlg::OnScanEnded(bool opened, const QString&)
{
    ShowPendingRecords();
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    SetProgressText({});
    m_btnData->setEnabled(true);
    m_btnSave->setEnabled(true);
    m_btnStop->setEnabled(false);
    if (m_scanThread.joinable())
        m_scanThread.join();
    m_scanRunning = false;
    if (opened)
        ShowInboxCount();
}

void CVelloxDlg::OnStopButton()
{
    g_bStopScan = 1;
    m_btnStop->setEnabled(false);
}

// ----------------------------------------------------------------------------------------------- saving

void CVelloxDlg::OnSaveButton()
{
    QMenu menu(this);
    menu.addAction(Tr(kSaveAsEml), this, [this] { OnSaveFolder(kSaveEml); });
    menu.addSeparator();
    menu.addAction(Tr(kSaveAsTxt), this, [this] { OnSaveFolder(kSaveTxt); });
    menu.exec(QCursor::pos());
}

void CVelloxDlg::OnSaveFolder(SaveMode mode)
{
    tagFolderItem* folder = SelectedFolder();
    if (m_saveRunning || !folder || folder->lstMails.empty())
        return;
    m_btnData->setEnabled(false);
    m_btnSave->setEnabled(false);
    const QString dir = ChooseSaveDirectory();
    if (dir.isEmpty()) {
        m_btnData->setEnabled(!m_scanRunning);
        m_btnSave->setEnabled(true);
        return;
    }
    QString path = dir;
    if (!path.endsWith('/'))
        path += '/';
    path += folder->strName;
    std::vector<tagMailItem*> records(folder->lstMails.begin(), folder->lstMails.end());
    m_btnStop->setEnabled(true);
    m_progress->setRange(0, static_cast<int>(records.size()));
    m_progress->setValue(0);
    if (m_saveThread.joinable())
        m_saveThread.join();
    m_saveRunning = true;
    m_saveThread = std::thread([records = std::move(records), target = path.toStdString(), mode,
                                host = m_host.get()] { RunSaveJob(records, target, mode, nullptr, host, &g_bStopScan); });
}

void CVelloxDlg::OnSaveStarted(size_t count)
{
    m_btnData->setEnabled(false);
    m_btnSave->setEnabled(false);
    m_btnStop->setEnabled(true);
    m_progress->setRange(0, static_cast<int>(count));
}

void CVelloxDlg::OnSaveEnded(const SaveJobResult& result)
{
    if (m_destroying) {
        if (m_saveThread.joinable())
            m_saveThread.join();
        m_saveRunning = false;
        return;
    }
    if (m_saveThread.joinable())
        m_saveThread.join();
    m_saveRunning = false;
    m_btnData->setEnabled(!m_scanRunning);
    m_btnSave->setEnabled(true);
    m_btnStop->setEnabled(m_scanRunning);
    SetProgressText({});
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    if (!result.directoryReady) {
        if (!result.error.empty())
            Inform(Arg(kIds177MkdirFailed, QString::fromStdString(result.error)));
        return;
    }
    QString text = Tr(kIds175Saved).arg(result.written);
    for (const auto& f : result.failures)
        text += QStringLiteral("\n") + Tr("未能保存：") + QString::fromStdString(f);
    Inform(text);
}

void CVelloxDlg::OnSaveSelected(SaveMode mode)
{
    tagMailItem* m = SelectedMail();
    if (!m)
        return;
    ByteString content;
    {
        WaitCursor wait;
        if (mode == kSaveEml) {
            std::atomic<int> neverStop{0};
            ReReadMessage(*m, nullptr, &neverStop, content);
            if (content.empty())
                return;
        } else {
            content = BuildTxtText(*m);
        }
    }
    QString proposed =
        QString::fromStdU16String(SingleMessageFileName(*m, mode == kSaveEml ? u"].eml" : u"].txt")).left(259);
    const QString path = ChooseSaveFile(proposed, Tr(mode == kSaveEml ? kEmlFilter : kTxtFilter));
    if (path.isEmpty())
        return;
    std::string error;
    if (!WriteWholeFile(QFile::encodeName(path).toStdString(), content, false, error))
        Inform(Tr(kIds174SaveFailed));
}

// ------------------------------------------------------------------------------------ dialogs and keys

std::optional<QString> CVelloxDlg::ChooseSource()
{
    CDataDlg picker(this);
    if (picker.exec() != QDialog::Accepted)
        return std::nullopt;
    return picker.Source();
}

QString CVelloxDlg::ChooseSaveDirectory()
{
    QFileDialog dlg(this, Tr(kSave));
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly, true);
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    // The warning not to save onto the disk being recovered, in red above the chooser.
    if (auto* grid = qobject_cast<QGridLayout*>(dlg.layout())) {
        auto* warning = new QLabel(Tr(kIds135ChooseDir), &dlg);
        warning->setStyleSheet("color: rgb(255, 0, 0);");
        warning->setWordWrap(true);
        grid->addWidget(warning, grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().first();
}

QString CVelloxDlg::ChooseSaveFile(const QString& proposed, const QString& filter)
{
    return QFileDialog::getSaveFileName(this, QString(), QDir::home().filePath(proposed), filter);
}

QMessageBox::StandardButton CVelloxDlg::Ask(const QString& text, QMessageBox::StandardButtons buttons)
{
    return QMessageBox::question(this, windowTitle(), text, buttons);
}

void CVelloxDlg::Inform(const QString& text)
{
    m_lastMessage = text;
    if (m_destroying)
        return;
    QMessageBox box(QMessageBox::NoIcon, windowTitle(), text, QMessageBox::Ok, this);
    box.exec();
}

void CVelloxDlg::WaitForWorkers(int maxMs)
{
    QElapsedTimer t;
    t.start();
    while ((m_scanRunning || m_saveRunning) && (maxMs < 0 || t.elapsed() < maxMs)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

void CVelloxDlg::closeEvent(QCloseEvent* e)
{
    if (g_bScanning) {
        if (Ask(Tr(kIds106ScanRunning), QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
            e->ignore();
            return;
        }
        g_bStopScan = 1;
        WaitForWorkers(800);
    }
    if (g_bUnsaved && Ask(Tr(kIds149Unsaved), QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok) {
        e->ignore();
        return;
    }
    // A save job still running ends with the window; it stops before its next message.
    g_bStopScan = 1;
    WaitForWorkers(-1);
    e->accept();
}

void CVelloxDlg::reject()
{
    // Esc does not close the main window.
}

bool CVelloxDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (event->type() == QEvent::KeyPress)
            m_keysDown.insert(k->key());
        else if (!k->isAutoRepeat())
            m_keysDown.remove(k->key());
        const int key = k->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            auto* w = qobject_cast<QWidget*>(watched);
            // A splitter bar being dragged takes Escape to end the drag; nothing else gets these keys.
            const bool dragging = qobject_cast<CSplitterHandle*>(w) && static_cast<CSplitterHandle*>(w)->Dragging();
            if (w && !dragging && (w == this || isAncestorOf(w)))
                return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vellox::ui
