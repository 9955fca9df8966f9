// The source picker: partitions and whole disks that open, under "本地磁盘", and image or mailbox files
// the user adds, under "镜像文件", each with its size. Returns the chosen source string.
#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vellox::ui {

class CDataDlg : public QDialog {
    Q_OBJECT
public:
    explicit CDataDlg(QWidget* parent = nullptr);

    [[nodiscard]] QString Source() const { return m_source; }
    // Adds a file under "镜像文件" and selects it; false when it does not open or has no sector.
    bool AddImageFile(const QString& path);
    QTreeWidget* Tree() const { return m_tree; }
    QPushButton* OkButton() const { return m_ok; }
    QLabel* Notice() const { return m_notice; }

public slots:
    void accept() override;

protected:
    virtual QString ChooseImageFile();
    virtual void Inform(const QString& text);
    void paintEvent(QPaintEvent* e) override;

private:
    void OnOpenImage();
    void OnSelectionChanged();
    QTreeWidgetItem* AddSource(QTreeWidgetItem* parent, const QString& source, const QString& caption);

    QString m_source;
    QStringList m_sources{QString()}; // entry 0 stands for "no source"
    QTreeWidget* m_tree = nullptr;
    QTreeWidgetItem* m_localRoot = nullptr;
    QTreeWidgetItem* m_imageRoot = nullptr;
    QPushButton* m_ok = nullptr;
    QLabel* m_notice = nullptr;
};

} // namespace vellox::ui
