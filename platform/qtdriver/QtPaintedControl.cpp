#include "QtPaintedControl.h"

#include <afxmenu.h>

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

#include "QtDialogDriver.h"
#include "QtDrawingSurface.h"

QtPaintedControl::QtPaintedControl(QtDialogDriver& driver, HWND control, QWidget* parent)
    : QWidget(parent), m_driver(driver), m_control(control) {
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void QtPaintedControl::paintEvent(QPaintEvent*) {
    CWnd* window = CWnd::FromHandle(m_control);
    if (!window) return;
    QPainter painter(this);
    QtDrawingSurface surface(painter, rect(), m_driver.GetDpi());
    CDC dc(&surface);
    window->SendMessage(WM_PAINT, reinterpret_cast<WPARAM>(&dc));
}

void QtPaintedControl::SendMouse(UINT message, const QPointF& position, Qt::MouseButtons buttons,
                                 Qt::KeyboardModifiers modifiers, int wheelDelta) {
    CWnd* window = CWnd::FromHandle(m_control);
    if (!window) return;
    WPARAM keys = 0;
    if (buttons & Qt::LeftButton) keys |= MK_LBUTTON;
    if (modifiers & Qt::ShiftModifier) keys |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier) keys |= MK_CONTROL;
    keys |= MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(wheelDelta)));
    const auto x = static_cast<WORD>(static_cast<short>(std::lround(position.x())));
    const auto y = static_cast<WORD>(static_cast<short>(std::lround(position.y())));
    window->SendMessage(message, keys, MAKELPARAM(x, y));
    m_driver.AfterInput();
}

void QtPaintedControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    SendMouse(WM_LBUTTONDOWN, event->position(), event->buttons(), event->modifiers());
}

void QtPaintedControl::mouseMoveEvent(QMouseEvent* event) {
    SendMouse(WM_MOUSEMOVE, event->position(), event->buttons(), event->modifiers());
}

void QtPaintedControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    SendMouse(WM_LBUTTONUP, event->position(), event->buttons(), event->modifiers());
}

void QtPaintedControl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    SendMouse(WM_LBUTTONDBLCLK, event->position(), event->buttons(), event->modifiers());
}

void QtPaintedControl::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) return;
    SendMouse(WM_MOUSEWHEEL, event->position(), event->buttons(), event->modifiers(), delta);
}

void QtPaintedControl::contextMenuEvent(QContextMenuEvent* event) {
    CWnd* window = CWnd::FromHandle(m_control);
    if (!window) return;
    const auto x = static_cast<WORD>(static_cast<short>(event->pos().x()));
    const auto y = static_cast<WORD>(static_cast<short>(event->pos().y()));
    window->SendMessage(WM_CONTEXTMENU, 0, MAKELPARAM(x, y));
    m_driver.AfterInput();
}

void QtPaintedControl::keyPressEvent(QKeyEvent* event) {
    CWnd* window = CWnd::FromHandle(m_control);
    if (event->key() != Qt::Key_Home || !window) {
        QWidget::keyPressEvent(event);
        return;
    }
    window->SendMessage(WM_KEYDOWN, VK_HOME, 0);
    m_driver.AfterInput();
}
