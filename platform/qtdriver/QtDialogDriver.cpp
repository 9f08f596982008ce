#include "QtDialogDriver.h"

#include <afxmenu.h>

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <cmath>
#include <memory>

#include "QtDialogWindow.h"
#include "QtFileFilters.h"
#include "QtFonts.h"

namespace {

struct BoxButton {
    QMessageBox::StandardButton qt;
    int id;
};

std::vector<BoxButton> ButtonsOf(UINT nType) {
    switch (nType & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
        case MB_ABORTRETRYIGNORE:
            return {{QMessageBox::Abort, IDABORT},
                    {QMessageBox::Retry, IDRETRY},
                    {QMessageBox::Ignore, IDIGNORE}};
        case MB_YESNOCANCEL:
            return {{QMessageBox::Yes, IDYES},
                    {QMessageBox::No, IDNO},
                    {QMessageBox::Cancel, IDCANCEL}};
        case MB_YESNO:
            return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
        case MB_RETRYCANCEL:
            return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
        default:
            return {{QMessageBox::Ok, IDOK}};
    }
}

QMessageBox::Icon IconOf(UINT nType) {
    switch (nType & MB_ICONMASK) {
        case MB_ICONHAND:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        case MB_ICONASTERISK:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

QString FromText(LPCTSTR text) { return QString::fromUtf8(text ? text : ""); }

}  // namespace

QtDialogDriver::QtDialogDriver() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        m_dpi = std::max(72, static_cast<int>(std::lround(screen->logicalDotsPerInch())));
}

QtDialogDriver::~QtDialogDriver() = default;

void QtDialogDriver::LayOut(CDialog& dialog, std::string& fontFamily, int& pixelSize) {
    CString face;
    int pointSize = 8;
    GetDialogFont(dialog, face, pointSize);
    fontFamily = StandInFontFamily(FromText(face)).toStdString();
    pixelSize = std::max(1, static_cast<int>(std::lround(pointSize * m_dpi / 72.0)));
    // 8-point MS Shell Dlg has base units of 6 by 13 pixels at 96 dpi; they grow with the
    // font and the screen, so that the metric-compatible font fits the same rectangles.
    const double scale = pointSize / 8.0 * m_dpi / 96.0;
    LayOutDialog(dialog, static_cast<int>(std::lround(6 * scale)),
                 static_cast<int>(std::lround(13 * scale)));
}

QtDialogWindow* QtDialogDriver::GetFrontWindow() const {
    return m_windows.empty() ? nullptr : m_windows.back();
}

void QtDialogDriver::RunModalLoop(CDialog& dialog) {
    if (!QApplication::instance()) {
        dialog.EndDialog(-1);
        return;
    }
    auto window = std::make_unique<QtDialogWindow>(*this, dialog, GetFrontWindow());
    m_windows.push_back(window.get());
    window->show();
    window->activateWindow();
    window->Sync();
    window->RunLoop();
    m_windows.pop_back();
    window->hide();
}

int QtDialogDriver::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
    m_messages.emplace_back(lpszText ? lpszText : "");
    if (!QApplication::instance()) return AfxDismissAnswer(nType);
    QMessageBox box(IconOf(nType), FromText(lpszCaption), FromText(lpszText), QMessageBox::NoButton,
                    GetFrontWindow());
    box.setObjectName("message_box");
    const std::vector<BoxButton> buttons = ButtonsOf(nType);
    for (const BoxButton& button : buttons) {
        QPushButton* added = box.addButton(button.qt);
        if (button.id == AfxDismissAnswer(nType)) box.setEscapeButton(added);
    }
    box.setDefaultButton(qobject_cast<QPushButton*>(box.button(buttons.front().qt)));
    box.exec();
    for (const BoxButton& button : buttons) {
        if (box.clickedButton() == box.button(button.qt)) return button.id;
    }
    return AfxDismissAnswer(nType);
}

BOOL QtDialogDriver::ChooseFile(BOOL bOpenFileDialog, LPCTSTR lpszFilter, CString& path) {
    if (!QApplication::instance()) return FALSE;
    QFileDialog chooser(GetFrontWindow(), bOpenFileDialog ? "Open" : "Save As");
    chooser.setObjectName("file_dialog");
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setAcceptMode(bOpenFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    // The framework checks the choice against its flags and asks again when they refuse it.
    chooser.setFileMode(QFileDialog::AnyFile);
    chooser.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = QtNameFilters(lpszFilter ? lpszFilter : "");
    if (!filters.isEmpty()) chooser.setNameFilters(filters);
    // As the system's file dialog does, the next one opens where the last choice was made.
    if (!m_lastFolder.isEmpty()) chooser.setDirectory(m_lastFolder);
    if (!path.IsEmpty()) chooser.selectFile(FromText(path));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return FALSE;
    const QString chosen = chooser.selectedFiles().front();
    m_lastFolder = QFileInfo(chosen).absolutePath();
    path = CString(chosen.toUtf8().toStdString());
    return TRUE;
}

UINT QtDialogDriver::ChooseMenuItem(const CMenu& menu, CPoint, CWnd*) {
    if (!QApplication::instance()) return 0;
    QMenu popup(GetFrontWindow());
    for (const CMenu::CItem& item : menu.GetItems()) {
        if (item.nFlags & MF_SEPARATOR) {
            popup.addSeparator();
            continue;
        }
        QAction* action = popup.addAction(FromText(item.text));
        action->setData(item.nID);
        action->setEnabled(!(item.nFlags & MF_GRAYED));
        action->setCheckable(item.nFlags & MF_CHECKED);
        action->setChecked(item.nFlags & MF_CHECKED);
    }
    const QAction* chosen = popup.exec(QCursor::pos());
    return chosen ? chosen->data().toUInt() : 0;
}

CString QtDialogDriver::Finish(const CString& refusal) {
    AfterInput();
    return refusal;
}

CString QtDialogDriver::Click(HWND control) {
    CWnd* window = CWnd::FromHandle(control);
    return Finish(window ? ClickControl(*window) : CString("no such control"));
}

CString QtDialogDriver::Type(HWND edit, const CString& text) {
    CWnd* window = CWnd::FromHandle(edit);
    return Finish(window ? TypeText(*window, text) : CString("no such control"));
}

CString QtDialogDriver::Select(HWND comboBox, int index) {
    CWnd* window = CWnd::FromHandle(comboBox);
    return Finish(window ? SelectItem(*window, index) : CString("no such control"));
}

CString QtDialogDriver::Focus(HWND control) {
    CWnd* window = CWnd::FromHandle(control);
    return Finish(window ? FocusControl(*window) : CString("no such control"));
}

CString QtDialogDriver::Key(CDialog& dialog, UINT nVirtKey, BOOL bShift) {
    return Finish(PressKey(dialog, nVirtKey, bShift));
}

CString QtDialogDriver::Close(CDialog& dialog) { return Finish(CloseDialog(dialog)); }

void QtDialogDriver::AfterInput() {
    for (QtDialogWindow* window : m_windows) {
        if (!window->GetDialog().ContinueModal()) {
            window->Finish();
            continue;
        }
        window->Sync();
        // Once more when Qt has finished the event: a button that a shortcut clicks changes its
        // own state after it has told us, which would leave it showing what Qt made of it.
        QMetaObject::invokeMethod(
            window,
            [window] {
                if (window->GetDialog().m_hWnd && window->GetDialog().ContinueModal())
                    window->Sync();
            },
            Qt::QueuedConnection);
    }
}
