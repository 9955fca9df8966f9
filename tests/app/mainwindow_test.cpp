// The main window driven through real scans of fixture images, under QT_QPA_PLATFORM=offscreen.
#include "app/datadlg.h"
#include "app/guihost.h"
#include "app/htmlctrl.h"
#include "app/maillistmodel.h"
#include "app/velloxdlg.h"
#include "controls/listctrlex.h"
#include "mime/charset.h"
#include "scan/mailitem.h"
#include "scan/scanrun.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <thread>

using namespace vellox;
using namespace vellox::ui;

namespace {

std::string Message(int i)
{
    return "Received: from mx by mail; Tue, 15 Nov 2009 08:12:31 +0800\r\n"
           "From: Sender " +
           std::to_string(i) +
           " <s@example.org>\r\nTo: bob@example.com\r\nSubject: message " + std::to_string(i) +
           "\r\nDate: Tue, " + std::to_string(10 + i) +
           " Nov 2009 08:12:31 +0800\r\nContent-Type: text/plain; charset=utf-8\r\n\r\nBody of message " +
           std::to_string(i) + " 中文\r\n";
}

// An image with `count` messages, each in its own 4 KiB, followed by `zeroMiB` of zeros (sparse).
QString MakeImage(const QString& dir, int count, int zeroMiB = 0)
{
    const QString path = dir + "/fixture.img";
    std::string image;
    for (int i = 0; i < count; ++i) {
        std::string block = "\r\n" + Message(i);
        block.resize(4096, '\0');
        image += block;
    }
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << image;
    out.close();
    if (zeroMiB > 0)
        std::filesystem::resize_file(path.toStdString(), image.size() + static_cast<uint64_t>(zeroMiB) * 1048576);
    return path;
}

class TestDlg : public CVelloxDlg {
public:
    QString source;
    QString saveDir;
    QMessageBox::StandardButton answer = QMessageBox::Yes;
    QStringList questions;
    QStringList messages;
    bool dataEnabledInPicker = true;

protected:
    std::optional<QString> ChooseSource() override
    {
        dataEnabledInPicker = Button(134)->isEnabled();
        if (source.isEmpty())
            return std::nullopt;
        return source;
    }
    QString ChooseSaveDirectory() override { return saveDir; }
    QString ChooseSaveFile(const QString& proposed, const QString&) override { return saveDir + "/" + proposed; }
    QMessageBox::StandardButton Ask(const QString& text, QMessageBox::StandardButtons) override
    {
        questions << text;
        return answer;
    }
    void Inform(const QString& text) override { messages << text; }
};

bool WaitUntil(const std::function<bool()>& done, int ms = 20000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QTest::qWait(5);
    return done();
}

struct States {
    bool data, save, stop, find;
};

States ButtonStates(CVelloxDlg& d)
{
    return {d.Button(134)->isEnabled(), d.Button(133)->isEnabled(), d.Button(135)->isEnabled(),
            d.Button(138)->isEnabled()};
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        g_strDataSource.clear();
        g_bUnsaved = 0;
        g_bStopScan = 0;
    }

    void startsEmptyWithTheRightButtons()
    {
        TestDlg d;
        QAbstractItemModelTester tester(d.MailModel());
        const States s = ButtonStates(d);
        QVERIFY(s.data && !s.save && !s.stop && !s.find);
        QCOMPARE(d.FolderTree()->topLevelItemCount(), 1);
        QCOMPARE(d.FolderTree()->topLevelItem(0)->text(0), QString("本地文件夹"));
        QCOMPARE(d.FolderTree()->topLevelItem(0)->child(0)->text(0), QString("收件箱"));
        QCOMPARE(d.MailModel()->headerData(1, Qt::Horizontal).toString(), QString("发件人"));
        QCOMPARE(d.MailModel()->headerData(2, Qt::Horizontal).toString(), QString("接收时间"));
        QCOMPARE(d.MailModel()->headerData(3, Qt::Horizontal).toString(), QString("主题"));
    }

    void scanFillsTheInboxNewestFirstAndPreviews()
    {
        QTemporaryDir dir;
        TestDlg d;
        QAbstractItemModelTester tester(d.MailModel());
        d.source = MakeImage(dir.path(), 12);
        d.OnDataButton();
        QVERIFY(!d.dataEnabledInPicker); // "数据" is disabled while the picker is open
        QVERIFY(WaitUntil([&] { return !d.IsScanRunning(); }));
        QCOMPARE(d.FolderTree()->topLevelItem(0)->text(0), QString("本地文件夹 [fixture.img]"));
        QTreeWidgetItem* inbox = d.FolderTree()->topLevelItem(0)->child(0);
        QCOMPARE(inbox->text(0), QString("收件箱 (12)"));
        QCOMPARE(d.FolderTree()->currentItem(), inbox);
        QCOMPARE(d.MailModel()->rowCount(), 12);
        // Newest first: the message found last is on top.
        QCOMPARE(d.MailModel()->index(0, 3).data().toString(), QString("message 11"));
        QCOMPARE(d.MailModel()->index(11, 3).data().toString(), QString("message 0"));
        QCOMPARE(d.MailModel()->index(0, 2).data().toString(), QString("2009-11-21 08:12:31"));
        const States s = ButtonStates(d);
        QVERIFY(s.data && s.save && !s.stop && s.find);
        QVERIFY(g_bUnsaved);

        d.MailList()->setCurrentIndex(d.MailModel()->index(3, 0));
        QVERIFY(d.Preview()->toPlainText().contains("Body of message 8 中文"));
        d.MailList()->setCurrentIndex(d.MailModel()->index(0, 0));
        QVERIFY(d.Preview()->toPlainText().contains("Body of message 11"));
        QVERIFY(!d.Preview()->toPlainText().contains("message 8"));
    }

    void recordsArriveLiveWhileTheInboxIsSelected()
    {
        TestDlg d;
        QTreeWidgetItem* inbox = d.FolderTree()->topLevelItem(0)->child(0);
        d.FolderTree()->setCurrentItem(inbox);
        GuiHost host(&d);
        tagMailItem a, b, c;
        a.strSubjectText = u"first";
        b.strSubjectText = u"second";
        c.strSubjectText = u"third";
        std::thread scan([&] {
            host.AddMailToInbox(&a);
            host.AddMailToInbox(&b);
        });
        scan.join();
        QVERIFY(WaitUntil([&] { return d.MailModel()->rowCount() == 2; }));
        QCOMPARE(d.MailModel()->index(0, 3).data().toString(), QString("second"));
        std::thread more([&] { host.AddMailToInbox(&c); });
        more.join();
        QVERIFY(WaitUntil([&] { return d.MailModel()->rowCount() == 3; }));
        QCOMPARE(d.MailModel()->index(0, 3).data().toString(), QString("third"));
        QVERIFY(d.Button(138)->isEnabled());
        d.ResetFolderTree();
    }

    void rowsAppearLiveDuringARealScan()
    {
        QTemporaryDir dir;
        TestDlg d;
        d.source = MakeImage(dir.path(), 5, 16384);
        d.OnDataButton();
        QVERIFY(WaitUntil([&] { return d.Button(135)->isEnabled() || !d.IsScanRunning(); }));
        // The user selects the inbox while the scan runs: from then on every new record shows at once.
        QTreeWidgetItem* inbox = d.FolderTree()->topLevelItem(0)->child(0);
        d.FolderTree()->setCurrentItem(inbox);
        QVERIFY(WaitUntil([&] { return d.MailModel()->rowCount() == 5 || !d.IsScanRunning(); }));
        const bool stillScanning = d.IsScanRunning();
        d.OnStopButton();
        QVERIFY(WaitUntil([&] { return !d.IsScanRunning(); }));
        QVERIFY(stillScanning);
        QCOMPARE(d.MailModel()->rowCount(), 5);
        QCOMPARE(d.MailModel()->index(0, 3).data().toString(), QString("message 4"));
        QVERIFY(d.Button(138)->isEnabled());
    }

    void folderSaveWritesTheFiles()
    {
        QTemporaryDir dir;
        TestDlg d;
        d.source = MakeImage(dir.path(), 5);
        d.OnDataButton();
        QVERIFY(WaitUntil([&] { return !d.IsScanRunning(); }));
        d.saveDir = dir.path() + "/out";
        QDir().mkpath(d.saveDir);
        d.OnSaveFolder(kSaveEml);
        QVERIFY(WaitUntil([&] { return !d.IsSaveRunning(); }));
        QCOMPARE(d.messages.last(), QString("成功保存 5 封邮件！"));
        const QStringList files = QDir(d.saveDir + "/收件箱").entryList(QDir::Files);
        QCOMPARE(files.size(), 5);
        QVERIFY(files.contains("message 3_[2009-11-13 08 12 31].eml"));
        QVERIFY(!g_bUnsaved);
        const States s = ButtonStates(d);
        QVERIFY(s.data && s.save && !s.stop);
    }

    void stopEndsAScan()
    {
        QTemporaryDir dir;
        TestDlg d;
        d.source = MakeImage(dir.path(), 3, 16384);
        d.OnDataButton();
        // Stop once the messages at the front were found, while 16 GiB are still to be read.
        QVERIFY(WaitUntil(
            [&] { return (g_nMailCount.load() == 3 && d.Button(135)->isEnabled()) || !d.IsScanRunning(); }));
        QVERIFY(d.Button(135)->isEnabled());
        QVERIFY(!d.Button(134)->isEnabled());
        QElapsedTimer t;
        t.start();
        d.OnStopButton();
        QVERIFY(!d.Button(135)->isEnabled());
        QVERIFY(WaitUntil([&] { return !d.IsScanRunning(); }, 10000));
        QVERIFY(t.elapsed() < 5000);
        QVERIFY(d.Button(134)->isEnabled());
        QCOMPARE(d.MailModel()->rowCount(), 3);
        QCOMPARE(d.FolderTree()->topLevelItem(0)->child(0)->text(0), QString("收件箱 (3)"));
    }

    void enterAndEscapeAreSwallowed()
    {
        TestDlg d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTest::keyClick(d.MailList(), Qt::Key_Escape);
        QTest::keyClick(d.MailList(), Qt::Key_Return);
        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(d.isVisible());
        QVERIFY(d.questions.isEmpty());
    }

    void closingWithUnsavedResultsAsks()
    {
        TestDlg d;
        d.show();
        g_bUnsaved = 1;
        d.answer = QMessageBox::Ok;
        d.close();
        QVERIFY(d.isVisible());
        QCOMPARE(d.questions.size(), 1);
        QVERIFY(d.questions[0].startsWith("扫描到邮件"));
        d.answer = QMessageBox::Cancel;
        d.close();
        QVERIFY(!d.isVisible());
    }

    void rescanAsksFirstAndNoKeepsEverything()
    {
        QTemporaryDir dir;
        TestDlg d;
        d.source = MakeImage(dir.path(), 2);
        d.OnDataButton();
        QVERIFY(WaitUntil([&] { return !d.IsScanRunning(); }));
        d.answer = QMessageBox::No;
        d.OnDataButton();
        QCOMPARE(d.questions.size(), 1);
        QVERIFY(d.Button(134)->isEnabled());
        QCOMPARE(d.MailModel()->rowCount(), 2);
    }

    void previewLoadsNothingAndRunsNothing()
    {
        class Probe : public CHtmlCtrl {
        public:
            QList<QUrl> asked;
            QVariant loadResource(int type, const QUrl& url) override
            {
                asked << url;
                return CHtmlCtrl::loadResource(type, url);
            }
        };
        Probe p;
        p.LoadHtmlText("<html><head><script>document.title='x'</script>"
                       "<link rel=stylesheet href=\"http://example.com/s.css\"></head><body>"
                       "<iframe src=\"http://example.com/f\"></iframe><img src=\"http://example.com/x.png\">"
                       "<p>visible text</p></body></html>");
        QVERIFY(p.toPlainText().contains("visible text"));
        // Whatever the document asked for, nothing was delivered.
        for (const QUrl& u : p.asked)
            QVERIFY(!p.CHtmlCtrl::loadResource(QTextDocument::ImageResource, u).isValid());
        QVERIFY(p.documentTitle().isEmpty());
        QVERIFY(!p.openLinks());
    }

    void pickerListsFilesAndRefusesRoots()
    {
        QTemporaryDir dir;
        CDataDlg picker;
        QVERIFY(!picker.OkButton()->isEnabled());
        const QString img = MakeImage(dir.path(), 1);
        QVERIFY(picker.AddImageFile(img));
        QVERIFY(picker.OkButton()->isEnabled());
        QVERIFY(picker.Tree()->currentItem()->text(0).startsWith(img + "  ("));
        QVERIFY(picker.Tree()->currentItem()->text(0).endsWith("M)"));
        // A file shorter than a sector is not added.
        std::ofstream(dir.path().toStdString() + "/tiny.img") << "tiny";
        QVERIFY(!picker.AddImageFile(dir.path() + "/tiny.img"));
        picker.accept();
        QCOMPARE(picker.Source(), img);
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitEncodeTypes();
    MainWindowTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "mainwindow_test.moc"
