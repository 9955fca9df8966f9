// The push button of the program's windows: rounded corners, a vertical gradient, and a hover, pressed
// and focus look of its own.
#pragma once

#include <QPushButton>

#include "controls/drawing.h"

namespace vellox::ui {

class CButtonEx : public QPushButton {
    Q_OBJECT
public:
    explicit CButtonEx(const QString& text, QWidget* parent = nullptr);
    [[nodiscard]] ButtonState MouseState() const { return m_nMouseState; }

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void SetState(ButtonState s);
    void ApplyShape();
    ButtonState m_nMouseState = ButtonState::Normal;
};

} // namespace vellox::ui
