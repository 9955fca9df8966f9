// The main window: command buttons, progress pane, folder tree, mail list and preview pane.
//
// Controls carry their resource IDs as object names ("133" is "保存", "1031" the mail list, ...).
// Dialogs and questions go through virtual functions, so that tests can answer them.
#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QSet>
#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <thread>

#include "export/savejob.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QSplitter;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

namespace vellox {
struct tagMailItem;
}

namespace vellox::ui {

class CButtonEx;
class CHtmlCtrl;
class CListCtrlEx;
class CProgressWnd;
class GuiHost;
class MailListModel;

class CVelloxDlg : public QDialog {
    Q_OBJECT
public:
    struct tagFolderItem {
        QTreeWidgetItem* hItem = nullptr;
        QString strName;
        std::deque<tagMailItem*> lstMails; // newest first; not owning
    };

    explicit CVelloxDlg(QWidget* parent = nullptr);
    ~CVelloxDlg() override;

    // Starts the 1000 ms timer that opens the source picker by itself.
    void StartAutoOpen();

    // Called on the user-interface thread by the host.
    void ResetFolderTree();
    void OnScanStarted(uint64_t totalSectors);
    void SetProgressPos(uint64_t pos);
    void SetProgressText(const QString& text);
    void ShowPendingRecords();
    // New records of the inbox, in the order found; shown at the top when the inbox is selected.
    void AddMailToInbox(const std::vector<tagMailItem*>& oldestFirst);
    void OnScanEnded(bool opened, const QString& reason);
    void OnSaveStarted(size_t count);
    void OnSaveEnded(const SaveJobResult& result);

    // Commands.
    void OnDataButton();
    void OnStopButton();
    void OnSaveButton();
    void OnSaveFolder(SaveMode mode);
    void OnSaveSelected(SaveMode mode);
    void ShowMailProperties();
    void StartScan(const QString& source);
    void OnFind();
    void OnHelp();
    void OnAbout();

    // Introspection for tests and the screenshot script.
    MailListModel* MailModel() const { return m_model; }
    QTreeWidget* FolderTree() const { return m_tree; }
    CListCtrlEx* MailList() const { return m_list; }
    CHtmlCtrl* Preview() const { return m_preview; }
    CProgressWnd* Progress() const { return m_progress; }
    QSplitter* SplitterX() const { return m_splitX; }
    QSplitter* SplitterY() const { return m_splitY; }
    static QString& LastSearchText();
    QPushButton* Button(int id) const;
    tagFolderItem* SelectedFolder() const;
    bool IsScanRunning() const { return m_scanRunning; }
    bool IsSaveRunning() const { return m_saveRunning; }
    const QString& LastMessage() const { return m_lastMessage; }

protected:
    // Dialogs, overridden by tests. ChooseSource: the source string, or nothing on Cancel.
    virtual std::optional<QString> ChooseSource();
    virtual QString ChooseSaveDirectory();
    virtual QString ChooseSaveFile(const QString& proposed, const QString& filter);
    virtual QMessageBox::StandardButton Ask(const QString& text, QMessageBox::StandardButtons buttons);
    virtual void Inform(const QString& text);
    // The search dialog: the text to find, or nothing on Cancel.
    virtual std::optional<QString> AskSearchText(const QString& initial);

    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;
    void paintEvent(QPaintEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LayoutPanes();
    void ShowInboxCount();
    void FillMailList();
    void PreviewMail(tagMailItem* item);
    void RecreatePreviewCtrl();
    void OnTreeContextMenu(const QPoint& pos);
    void OnListContextMenu(const QPoint& pos);
    tagMailItem* SelectedMail() const;
    void WaitForWorkers(int maxMs);
    QRect Dlu(int x, int y, int w, int h) const;

    std::unique_ptr<GuiHost> m_host;
    CButtonEx* m_btnSave = nullptr;    // 133
    CButtonEx* m_btnData = nullptr;    // 134
    CButtonEx* m_btnHelp = nullptr;    // 148
    CButtonEx* m_btnFind = nullptr;    // 138
    CButtonEx* m_btnStop = nullptr;    // 135
    CProgressWnd* m_progress = nullptr; // 1029
    QSplitter* m_splitX = nullptr;     // 322: left column | right column
    QWidget* m_leftColumn = nullptr;
    QSplitter* m_splitY = nullptr;     // 323: list over preview
    QWidget* m_previewBox = nullptr;
    QTreeWidget* m_tree = nullptr;     // 1030
    CListCtrlEx* m_list = nullptr;     // 1031
    MailListModel* m_model = nullptr;
    QLabel* m_contact[5] = {};         // 1036, 1035, 1037, 1038, 1039 (top to bottom)
    CHtmlCtrl* m_preview = nullptr;    // 1040

    std::vector<std::unique_ptr<tagFolderItem>> m_arrFolders;
    std::map<QString, QTreeWidgetItem*> m_mapFolders;
    QSet<int> m_keysDown;

    std::thread m_scanThread;
    std::thread m_saveThread;
    std::atomic<bool> m_scanRunning{false};
    std::atomic<bool> m_saveRunning{false};
    QString m_lastMessage;
    bool m_destroying = false; // no dialogs while the window goes away
};

} // namespace vellox::ui
