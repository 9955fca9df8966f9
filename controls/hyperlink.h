// A clickable link: link colours, underlined and red while the mouse is over it, a tooltip with the
// target, the visited colour after it was opened; opens the target with the desktop's default handler.
#pragma once

#include <QLabel>
#include <QUrl>

namespace vellox::ui {

class CHyperLink : public QLabel {
    Q_OBJECT
public:
    explicit CHyperLink(const QString& text, const QString& target, QWidget* parent = nullptr);
    void SetTarget(const QString& target);
    [[nodiscard]] QString Target() const { return m_strTarget; }
    void SetVisitedState(bool visited);
    [[nodiscard]] bool Visited() const { return m_bVisited; }
    [[nodiscard]] bool MouseOver() const { return m_bMouseOver; }
    // The colour the text is drawn in now.
    [[nodiscard]] QColor CurrentColor() const;

    // Opens a target; replaceable in tests. True when the desktop accepted it.
    static bool (*s_openUrl)(const QUrl&);

protected:
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void Restyle();
    QColor m_clrLink{0, 0, 238};
    QColor m_clrVisited{85, 26, 139};
    QColor m_clrHover{255, 0, 0};
    bool m_bMouseOver = false;
    bool m_bVisited = false;
    QString m_strTarget;
};

} // namespace vellox::ui
