#include "QtDialogWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcutEvent>
#include <QStyleOptionButton>

#include "QtDialogDriver.h"
#include "QtDialogStyle.h"
#include "QtPaintedControl.h"

namespace {

QString FromText(const CString& text) { return QString::fromUtf8(text.GetString()); }

CString ToText(const QString& text) { return CString(text.toUtf8().toStdString()); }

CString WindowText(const CWnd& window) {
    CString text;
    window.GetWindowText(text);
    return text;
}

// A caption without its mnemonic marks: "&&" is a plain "&".
QString WithoutMnemonics(const QString& caption) {
    QString plain;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        plain += caption[i];
    }
    return plain;
}

// Windows edits end lines with CR LF; Qt's with LF.
QString ToWidgetLines(const QString& text) { return QString(text).replace("\r\n", "\n"); }
QString ToFrameworkLines(const QString& text) { return QString(text).replace("\n", "\r\n"); }

// An edit's selection in characters; the framework counts bytes, which is the same for ASCII.
std::pair<int, int> FrameworkSelection(CWnd& edit) {
    int start = 0, end = 0;
    static_cast<CEdit&>(edit).GetSel(start, end);
    return {start, end};
}

// A caption broken into lines at blanks so that each fits `width` pixels, as BS_MULTILINE
// buttons show it.
QString WrappedCaption(const QString& caption, const QFontMetrics& metrics, int width) {
    QString wrapped, line;
    for (const QString& word : caption.split(' ', Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + ' ' + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(WithoutMnemonics(longer)) > width) {
            wrapped += line + '\n';
            line = word;
        } else {
            line = longer;
        }
    }
    return wrapped + line;
}

bool IsPushButtonType(DWORD type) { return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON; }

}  // namespace

QtDialogWindow::QtDialogWindow(QtDialogDriver& driver, CDialog& dialog, QWidget* parent)
    : QDialog(parent), m_driver(driver), m_dialog(dialog) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (dialog.GetStyle() & WS_SYSMENU)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    setWindowModality(Qt::ApplicationModal);
    setObjectName("dialog");

    std::string family;
    int pixelSize = 0;
    driver.LayOut(dialog, family, pixelSize);
    QFont font(QString::fromStdString(family));
    font.setPixelSize(pixelSize);
    setFont(font);
    CRect client;
    dialog.GetClientRect(&client);
    setFixedSize(client.Width(), client.Height());
    m_style = new QtDialogStyle;
    m_style->setParent(this);
    setStyle(m_style);
    CreateControls();
    Sync();
}

void QtDialogWindow::CreateControls() {
    for (CWnd* child = m_dialog.GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT)) {
        Kind kind = Kind::Label;
        QWidget* widget = CreateWidget(child->m_hWnd, *child, kind);
        CRect rect;
        child->GetWindowRect(&rect);
        if (kind == Kind::ComboBox) {
            // The template's height includes the dropped-down list.
            rect.bottom = rect.top + std::min(rect.Height(), widget->sizeHint().height());
        }
        widget->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
        widget->setObjectName(QString("control_%1").arg(child->GetDlgCtrlID()));
        widget->setStyle(m_style);
        // The place in the template, which the widgets' stacking order no longer shows.
        widget->setProperty("templateIndex", static_cast<int>(m_controls.size()));
        const DWORD style = child->GetStyle();
        if (kind != Kind::Label && kind != Kind::GroupBox && kind != Kind::Painted)
            widget->setFocusPolicy((style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
        m_controls.push_back(Control{child->m_hWnd, widget, kind});
    }
    // Group boxes lie beneath the controls they frame; tab order follows the template.
    for (Control& control : m_controls) {
        if (control.kind == Kind::GroupBox) control.widget->lower();
        control.widget->installEventFilter(this);
        ConnectInput(control);
    }
    // A label's mnemonic moves the focus to the control after it, as on Windows.
    for (size_t i = 0; i + 1 < m_controls.size(); ++i) {
        if (auto* label = qobject_cast<QLabel*>(m_controls[i].widget))
            label->setBuddy(m_controls[i + 1].widget);
    }
}

QWidget* QtDialogWindow::CreateWidget(HWND hWnd, CWnd& control, Kind& kind) {
    const CString windowClass = QtDialogDriver::ClassOf(control);
    const DWORD style = control.GetStyle();
    const bool subclassed = windowClass == "STATIC" && !dynamic_cast<CStatic*>(&control);
    if (subclassed) {
        kind = Kind::Painted;
        return new QtPaintedControl(m_driver, hWnd, this);
    }
    if (windowClass == "BUTTON") {
        const DWORD type = style & BS_TYPEMASK;
        if (IsPushButtonType(type)) {
            kind = Kind::PushButton;
            auto* button = new QPushButton(this);
            button->setAutoDefault(false);  // Enter goes to the dialog, which knows the default
            button->setDefault(type == BS_DEFPUSHBUTTON);
            return button;
        }
        if (type == BS_GROUPBOX) {
            kind = Kind::GroupBox;
            return new QGroupBox(this);
        }
        if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
            kind = Kind::RadioButton;
            auto* radio = new QRadioButton(this);
            radio->setAutoExclusive(false);  // the framework clears the group
            return radio;
        }
        kind = Kind::CheckBox;
        auto* check = new QCheckBox(this);
        check->setTristate(type == BS_3STATE || type == BS_AUTO3STATE);
        return check;
    }
    if (windowClass == "EDIT") {
        if (style & ES_MULTILINE) {
            kind = Kind::TextEdit;
            return new QPlainTextEdit(this);
        }
        kind = Kind::LineEdit;
        auto* edit = new QLineEdit(this);
        if (style & ES_RIGHT)
            edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        else if (style & ES_CENTER)
            edit->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        if (style & ES_PASSWORD) edit->setEchoMode(QLineEdit::Password);
        return edit;
    }
    if (windowClass == "COMBOBOX") {
        kind = Kind::ComboBox;
        auto* combo = new QComboBox(this);
        combo->setEditable((style & 0x3) == CBS_DROPDOWN);
        return combo;
    }
    kind = Kind::Label;
    auto* label = new QLabel(this);
    label->setTextFormat(Qt::PlainText);
    const DWORD align = style & 0x1F;
    Qt::Alignment alignment = Qt::AlignTop | Qt::AlignLeft;
    if (align == SS_CENTER) alignment = Qt::AlignTop | Qt::AlignHCenter;
    if (align == SS_RIGHT) alignment = Qt::AlignTop | Qt::AlignRight;
    label->setAlignment(alignment);
    label->setWordWrap(align == SS_LEFT || align == SS_CENTER || align == SS_RIGHT);
    if (align == SS_ETCHEDHORZ || align == SS_ETCHEDFRAME || align == SS_BLACKFRAME ||
        align == SS_GRAYFRAME) {
        label->setFrameStyle(QFrame::Box | QFrame::Sunken);
    }
    if (style & SS_SUNKEN) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}

void QtDialogWindow::ConnectInput(Control& control) {
    const HWND hWnd = control.hWnd;
    switch (control.kind) {
        case Kind::PushButton:
        case Kind::CheckBox:
        case Kind::RadioButton:
            connect(static_cast<QAbstractButton*>(control.widget), &QAbstractButton::clicked, this,
                    [this, hWnd] {
                        if (!m_syncing) m_driver.Click(hWnd);
                    });
            break;
        case Kind::LineEdit:
            connect(static_cast<QLineEdit*>(control.widget), &QLineEdit::textEdited, this,
                    [this, hWnd](const QString& text) {
                        m_typing = hWnd;
                        m_driver.Type(hWnd, ToText(text));
                        m_typing = nullptr;
                    });
            break;
        case Kind::TextEdit: {
            auto* edit = static_cast<QPlainTextEdit*>(control.widget);
            connect(edit, &QPlainTextEdit::textChanged, this, [this, hWnd, edit] {
                if (m_syncing) return;
                m_typing = hWnd;
                m_driver.Type(hWnd, ToText(ToFrameworkLines(edit->toPlainText())));
                m_typing = nullptr;
            });
            break;
        }
        case Kind::ComboBox:
            connect(static_cast<QComboBox*>(control.widget), &QComboBox::activated, this,
                    [this, hWnd](int index) { m_driver.Select(hWnd, index); });
            break;
        default:
            break;
    }
}

const QtDialogWindow::Control* QtDialogWindow::ControlOf(const QObject* widget) const {
    for (const Control& control : m_controls) {
        if (control.widget == widget) return &control;
    }
    return nullptr;
}

bool QtDialogWindow::eventFilter(QObject* watched, QEvent* event) {
    const Control* control = m_syncing ? nullptr : ControlOf(watched);
    if (!control) return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        // The keyboard moves the focus as Tab does; a mouse press focuses as a click does (a
        // button's click comes with its release).
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const HWND hWnd = control->hWnd;
        if (CWnd::FromHandle(hWnd) != CWnd::GetFocus()) {
            if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                reason == Qt::ShortcutFocusReason) {
                m_driver.Focus(hWnd);
            } else if (reason == Qt::MouseFocusReason &&
                       (control->kind == Kind::LineEdit || control->kind == Kind::TextEdit ||
                        control->kind == Kind::ComboBox)) {
                m_driver.Click(hWnd);
            }
        }
    } else if (event->type() == QEvent::Shortcut &&
               (control->kind == Kind::PushButton || control->kind == Kind::CheckBox ||
                control->kind == Kind::RadioButton) &&
               !static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
        // A button's mnemonic clicks it at once, as on Windows; Qt would animate the press and
        // click 100 ms later, so the window would show the old state after the key, and a key
        // that ends the dialog meanwhile would let the late click reach an ended dialog.
        auto* button = static_cast<QAbstractButton*>(watched);
        if (!button->isEnabled()) return true;
        m_driver.Click(control->hWnd);
        return true;
    } else if (event->type() == QEvent::KeyPress &&
               PassNavigationKey(*static_cast<QKeyEvent*>(event), control)) {
        return true;
    } else if (event->type() == QEvent::KeyPress && control->kind == Kind::TextEdit) {
        // Without ES_WANTRETURN, Enter belongs to the dialog even in a multi-line edit.
        auto* key = static_cast<QKeyEvent*>(event);
        CWnd* window = CWnd::FromHandle(control->hWnd);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && window &&
            !(window->GetStyle() & ES_WANTRETURN)) {
            m_driver.Key(m_dialog, VK_RETURN);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool QtDialogWindow::PassNavigationKey(const QKeyEvent& key, const Control* control) {
    if (key.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) return false;
    UINT nVirtKey = 0;
    switch (key.key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            nVirtKey = VK_TAB;
            break;
        case Qt::Key_Left:
            nVirtKey = VK_LEFT;
            break;
        case Qt::Key_Up:
            nVirtKey = VK_UP;
            break;
        case Qt::Key_Right:
            nVirtKey = VK_RIGHT;
            break;
        case Qt::Key_Down:
            nVirtKey = VK_DOWN;
            break;
        default:
            return false;
    }
    // Edits and lists keep their arrows, as the framework's own controls do; Qt's widgets carry
    // them out (a list's choice comes back through its activation).
    if (nVirtKey != VK_TAB && control &&
        (control->kind == Kind::LineEdit || control->kind == Kind::TextEdit ||
         control->kind == Kind::ComboBox))
        return false;
    // The keys start from the control that the user sees focused, even if the program put Qt's
    // focus there (the graph takes the framework's focus itself, from a click).
    if (control && control->kind != Kind::Painted &&
        CWnd::FromHandle(control->hWnd) != CWnd::GetFocus())
        m_driver.Focus(control->hWnd);
    const bool backwards = key.key() == Qt::Key_Backtab || (key.modifiers() & Qt::ShiftModifier);
    m_driver.Key(m_dialog, nVirtKey, nVirtKey == VK_TAB && backwards);
    return true;
}

bool QtDialogWindow::event(QEvent* event) {
    // Tab with no control focused: Qt would move its own focus before keyPressEvent.
    if (event->type() == QEvent::KeyPress && !m_syncing &&
        PassNavigationKey(*static_cast<QKeyEvent*>(event), nullptr))
        return true;
    return QDialog::event(event);
}

void QtDialogWindow::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) {
        QDialog::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            m_driver.Key(m_dialog, VK_RETURN);
            break;
        case Qt::Key_Escape:
            m_driver.Key(m_dialog, VK_ESCAPE);
            break;
        default:
            QDialog::keyPressEvent(event);
    }
}

void QtDialogWindow::closeEvent(QCloseEvent* event) {
    // The window goes when the framework ends the dialog, not before.
    event->ignore();
    if (m_dialog.m_hWnd && m_dialog.ContinueModal()) m_driver.Close(m_dialog);
}

void QtDialogWindow::RunLoop() {
    QEventLoop loop;
    m_loop = &loop;
    if (m_dialog.ContinueModal()) loop.exec();
    m_loop = nullptr;
}

void QtDialogWindow::Finish() {
    if (m_loop) m_loop->exit();
}

void QtDialogWindow::Sync() {
    if (!m_dialog.m_hWnd) return;
    m_syncing = true;
    setWindowTitle(FromText(WindowText(m_dialog)));
    const HWND focus = CWnd::GetFocus() ? CWnd::GetFocus()->m_hWnd : nullptr;
    const bool focusChanged = focus != m_shownFocus;
    m_shownFocus = focus;
    // Enter runs the focused push button, else the template's default: that one looks default.
    HWND shownDefault = nullptr;
    for (const Control& control : m_controls) {
        if (control.kind != Kind::PushButton) continue;
        if (control.hWnd == focus) {
            shownDefault = focus;
            break;
        }
        if ((CWnd::FromHandle(control.hWnd)->GetStyle() & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            shownDefault = control.hWnd;
    }
    for (Control& control : m_controls) {
        if (control.kind == Kind::PushButton) {
            const bool isDefault = control.hWnd == shownDefault;
            if (control.widget->property(QtDialogStyle::kShownDefault) != isDefault) {
                control.widget->setProperty(QtDialogStyle::kShownDefault, isDefault);
                control.widget->update();
            }
        }
        SyncControl(control, focusChanged && control.hWnd == focus);
    }
    m_syncing = false;
}

void QtDialogWindow::SyncControl(Control& control, bool takesFocus) {
    CWnd* window = CWnd::FromHandle(control.hWnd);
    if (!window) return;
    QWidget* widget = control.widget;
    const DWORD style = window->GetStyle();
    widget->setVisible((style & WS_VISIBLE) != 0);
    widget->setEnabled(window->IsWindowEnabled());
    const QString text = FromText(WindowText(*window));
    switch (control.kind) {
        case Kind::Label: {
            auto* label = static_cast<QLabel*>(widget);
            // Without SS_NOPREFIX an & marks a mnemonic, which QLabel takes only with a buddy.
            QString shown;
            if (style & SS_NOPREFIX)
                shown = label->buddy() ? QString(text).replace("&", "&&") : text;
            else
                shown = label->buddy() ? text : WithoutMnemonics(text);
            if (label->text() != shown) label->setText(shown);
            break;
        }
        case Kind::PushButton:
        case Kind::CheckBox:
        case Kind::RadioButton: {
            auto* button = static_cast<QAbstractButton*>(widget);
            QString caption = text;
            if (style & BS_MULTILINE) {
                // Lines as wide as the room that the style leaves the caption beside the
                // indicator, or inside a push button's frame.
                QStyleOptionButton option;
                option.initFrom(button);
                const QStyle::SubElement contents =
                    control.kind == Kind::PushButton ? QStyle::SE_PushButtonContents
                    : control.kind == Kind::CheckBox ? QStyle::SE_CheckBoxContents
                                                     : QStyle::SE_RadioButtonContents;
                const int room = button->style()->subElementRect(contents, &option, button).width();
                caption = WrappedCaption(text, button->fontMetrics(), room - 2);
            }
            if (button->text() != caption) button->setText(caption);
            if (control.kind != Kind::PushButton) {
                const UINT check = static_cast<UINT>(window->SendMessage(BM_GETCHECK));
                if (auto* box = qobject_cast<QCheckBox*>(button))
                    box->setCheckState(check == BST_INDETERMINATE ? Qt::PartiallyChecked
                                       : check == BST_CHECKED     ? Qt::Checked
                                                                  : Qt::Unchecked);
                else
                    button->setChecked(check == BST_CHECKED);
            }
            break;
        }
        case Kind::GroupBox:
            static_cast<QGroupBox*>(widget)->setTitle(text);
            break;
        case Kind::LineEdit: {
            auto* edit = static_cast<QLineEdit*>(widget);
            edit->setReadOnly((style & ES_READONLY) != 0);
            if (edit->text() != text) edit->setText(text);
            const auto [start, end] = FrameworkSelection(*window);
            if (control.hWnd != m_typing && (start != control.selStart || end != control.selEnd)) {
                if (start == end)
                    edit->setCursorPosition(start);
                else
                    edit->setSelection(start, end - start);
            }
            control.selStart = start;
            control.selEnd = end;
            break;
        }
        case Kind::TextEdit: {
            auto* edit = static_cast<QPlainTextEdit*>(widget);
            edit->setReadOnly((style & ES_READONLY) != 0);
            const QString lines = ToWidgetLines(text);
            if (edit->toPlainText() != lines && control.hWnd != m_typing) edit->setPlainText(lines);
            break;
        }
        case Kind::ComboBox: {
            auto* combo = static_cast<QComboBox*>(widget);
            auto& box = static_cast<CComboBox&>(*window);
            QStringList items;
            for (int i = 0; i < box.GetCount(); ++i) {
                CString item;
                box.GetLBText(i, item);
                items << FromText(item);
            }
            QStringList shown;
            for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
            if (shown != items) {
                combo->clear();
                combo->addItems(items);
            }
            if (combo->currentIndex() != box.GetCurSel()) combo->setCurrentIndex(box.GetCurSel());
            break;
        }
        case Kind::Painted:
            widget->update();
            break;
    }
    if (takesFocus && widget->isVisible() && widget->isEnabled())
        widget->setFocus(Qt::OtherFocusReason);
}
