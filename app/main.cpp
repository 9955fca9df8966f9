// vellox: the desktop program.
#include "app/strings.h"
#include "app/maillistmodel.h"
#include "app/velloxdlg.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QSplashScreen>
#include <QTimer>
#include <QTreeView>

namespace {

// The splash picture, drawn here rather than loaded: 400 x 300.
QPixmap SplashPicture()
{
    QPixmap pm(400, 300);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, 300);
    g.setColorAt(0, QColor(28, 76, 140));
    g.setColorAt(1, QColor(8, 28, 60));
    p.fillRect(pm.rect(), g);
    p.setPen(QColor(255, 255, 255));
    QFont f = p.font();
    f.setPointSize(30);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 70, 400, 60), Qt::AlignCenter, QStringLiteral("Vellox"));
    f.setPointSize(12);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(0, 140, 400, 30), Qt::AlignCenter, vellox::ui::Tr("邮件碎片扫描恢复软件 V3.0"));
    p.drawText(QRect(0, 250, 400, 30), Qt::AlignCenter, QStringLiteral("for Outlook Express & Foxmail"));
    return pm;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Vellox"));
    auto* dlg = new vellox::ui::CVelloxDlg;
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    QSplashScreen splash(SplashPicture());
    splash.show();
    // For scripts/screenshot.sh: scan a given source instead of opening the picker, select the first row,
    // save a picture of the window and quit.
    const QString shotSource = qEnvironmentVariable("VELLOX_SCREENSHOT_SOURCE");
    const QString shotFile = qEnvironmentVariable("VELLOX_SCREENSHOT");
    QTimer::singleShot(3000, &app, [&splash, dlg, shotSource, shotFile] {
        splash.close();
        dlg->showMaximized();
        if (shotFile.isEmpty() || shotSource.isEmpty()) {
            dlg->StartAutoOpen();
            return;
        }
        dlg->StartScan(shotSource);
        auto* poll = new QTimer(dlg);
        QObject::connect(poll, &QTimer::timeout, dlg, [dlg, poll, shotFile] {
            if (dlg->IsScanRunning())
                return;
            poll->stop();
            dlg->MailList()->setCurrentIndex(dlg->MailModel()->index(0, 0));
            QTimer::singleShot(800, dlg, [dlg, shotFile] {
                dlg->grab().save(shotFile);
                QApplication::quit();
            });
        });
        poll->start(100);
    });
    return app.exec();
}
