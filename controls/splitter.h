// The splitter bars of the main window, on QSplitter: a rubber-band drag, limits kept by the panes'
// minimum sizes, the bar painted in (220, 230, 240) with a one-pixel frame, and Escape or a right-button
// press ending a drag at the position reached.
#pragma once

#include <QSplitter>
#include <QSplitterHandle>

namespace vellox::ui {

class CSplitterHandle : public QSplitterHandle {
    Q_OBJECT
public:
    CSplitterHandle(Qt::Orientation o, QSplitter* parent);
    [[nodiscard]] bool Dragging() const { return m_dragging; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void Finish();
    bool m_dragging = false;
    QPoint m_lastPos;
};

class CSplitterEx : public QSplitter {
    Q_OBJECT
public:
    CSplitterEx(Qt::Orientation o, QWidget* parent = nullptr);

protected:
    QSplitterHandle* createHandle() override;
};

} // namespace vellox::ui
