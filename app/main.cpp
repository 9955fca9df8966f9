// vellox: the desktop program.
#include "app/strings.h"
#include "app/datadlg.h"
#include "app/helpdlg.h"
#include "app/maillistmodel.h"
#include "app/searchdlg.h"
#include "controls/listctrlex.h"
#include "controls/progresswnd.h"
#include "app/velloxdlg.h"

#include <QApplication>
#include <QTimer>
#include <QTreeView>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Vellox"));
    auto* dlg = new vellox::ui::CVelloxDlg;
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    vellox::ui::CSplashWnd splash;
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
                // The other windows, next to the main window's picture.
                const QString base = shotFile.left(shotFile.lastIndexOf('.'));
                auto shoot = [&base](QWidget* w, const char* name) {
                    w->show();
                    QApplication::processEvents();
                    w->grab().save(base + "-" + name + ".png");
                    delete w;
                };
                shoot(new vellox::ui::CDataDlg(dlg), "picker");
                shoot(new vellox::ui::CSearchDlg(QStringLiteral("invoice"), dlg), "search");
                shoot(new vellox::ui::CHelpDlg(dlg), "help");
                shoot(new vellox::ui::CAboutDlg(dlg), "about");
                QApplication::quit();
            });
        });
        poll->start(100);
    });
    return app.exec();
}
