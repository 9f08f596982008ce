// A control that draws itself (a window that a program subclassed, such as the host's graph):
// painted through the device context on QPainter, and given the mouse and keys as messages.
#pragma once

#include <afxwin.h>

#include <QWidget>

class QtDialogDriver;

class QtPaintedControl : public QWidget {
public:
    QtPaintedControl(QtDialogDriver& driver, HWND control, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void SendMouse(UINT message, const QPointF& position, Qt::MouseButtons buttons,
                   Qt::KeyboardModifiers modifiers, int wheelDelta = 0);

    QtDialogDriver& m_driver;
    HWND m_control;
};
