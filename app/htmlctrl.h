// The preview pane: shows a found message's HTML without running scripts or loading anything.
// Links open in the user's browser only when clicked.
#pragma once

#include <QTextBrowser>

namespace vellox::ui {

class CHtmlCtrl : public QTextBrowser {
    Q_OBJECT
public:
    explicit CHtmlCtrl(QWidget* parent = nullptr);
    void LoadHtmlText(const QString& html);
    // Every resource (remote images, style sheets, local files) is refused.
    QVariant loadResource(int type, const QUrl& name) override;
};

} // namespace vellox::ui
