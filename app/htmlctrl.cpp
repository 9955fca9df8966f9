#include "app/htmlctrl.h"

#include <QDesktopServices>
#include <QUrl>

namespace vellox::ui {

CHtmlCtrl::CHtmlCtrl(QWidget* parent) : QTextBrowser(parent)
{
    setObjectName("1040");
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, [](const QUrl& url) {
        const QString scheme = url.scheme().toLower();
        if (scheme == "http" || scheme == "https" || scheme == "mailto")
            QDesktopServices::openUrl(url);
    });
}

void CHtmlCtrl::LoadHtmlText(const QString& html)
{
    setHtml(html);
}

QVariant CHtmlCtrl::loadResource(int, const QUrl&)
{
    return {};
}

} // namespace vellox::ui
