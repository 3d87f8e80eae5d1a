#include "menu_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "global_hotkeys.h"
#include "menu_session.h"
#include "tarnproc.h"

namespace tarnmenu {
namespace {

// The tray's picture: a "T" on a rounded square.
QIcon TrayIcon() {
    QPixmap p(32, 32);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setBrush(QColor(0x2e, 0x6b, 0x9e));
    g.setPen(Qt::NoPen);
    g.drawRoundedRect(1, 1, 30, 30, 6, 6);
    g.setPen(Qt::white);
    QFont f = g.font();
    f.setBold(true);
    f.setPixelSize(22);
    g.setFont(f);
    g.drawText(p.rect(), Qt::AlignCenter, "T");
    return QIcon(p);
}

unsigned Modifiers(Qt::KeyboardModifiers m) {
    return ((m & Qt::ShiftModifier) ? TARN_HOTKEY_SHIFT : 0u) | ((m & Qt::ControlModifier) ? TARN_HOTKEY_CTRL : 0u) |
           ((m & Qt::AltModifier) ? TARN_HOTKEY_ALT : 0u);
}

}  // namespace

unsigned MenuWindow::VirtualKey(int k) {
    if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9)) return static_cast<unsigned>(k);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F16) return static_cast<unsigned>(112 + (k - Qt::Key_F1));
    static constexpr struct {
        int qt;
        unsigned vk;
    } keys[] = {
        {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},       {Qt::Key_Clear, 12}, {Qt::Key_Return, 13}, {Qt::Key_Enter, 13},
        {Qt::Key_Shift, 16},    {Qt::Key_Control, 17},  {Qt::Key_Alt, 18},   {Qt::Key_Escape, 27}, {Qt::Key_Space, 32},
        {Qt::Key_PageUp, 33},   {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},   {Qt::Key_Home, 36},   {Qt::Key_Left, 37},
        {Qt::Key_Up, 38},       {Qt::Key_Right, 39},    {Qt::Key_Down, 40},  {Qt::Key_Print, 42},  {Qt::Key_Insert, 45},
        {Qt::Key_Delete, 46},   {Qt::Key_Help, 47},
    };
    for (const auto& e : keys)
        if (e.qt == k) return e.vk;
    return 0;
}

MenuWindow::MenuWindow(MenuSession* session, GlobalHotKeys* hotkeys, bool tray) : session_(session), hotkeys_(hotkeys) {
    setWindowTitle("Tarn Menu - " + QFileInfo(session->Path()).fileName());
    setWindowIcon(TrayIcon());
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    info_ = new QLabel(central);
    info_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    status_ = new QLabel("Choose an item from the menu.", central);
    status_->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    auto* reload = new QPushButton("&Reload", central);
    auto* quit = new QPushButton("&Quit", central);
    buttons->addStretch();
    buttons->addWidget(reload);
    buttons->addWidget(quit);
    layout->addWidget(info_);
    layout->addWidget(status_);
    layout->addStretch();
    layout->addLayout(buttons);
    setCentralWidget(central);
    setFocusPolicy(Qt::StrongFocus);
    resize(420, 180);

    connect(reload, &QPushButton::clicked, session, &MenuSession::Load);
    connect(quit, &QPushButton::clicked, qApp, &QApplication::quit);
    connect(session, &MenuSession::Reloaded, this, &MenuWindow::Rebuild);
    connect(session, &MenuSession::Ran, this, &MenuWindow::ShowRun);

    if (tray && QSystemTrayIcon::isSystemTrayAvailable()) {
        tray_ = new QSystemTrayIcon(TrayIcon(), this);
        tray_->setToolTip(windowTitle());
        tray_->setContextMenu(&tray_menu_);
        connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
            if (r == QSystemTrayIcon::Trigger) setVisible(!isVisible());
        });
        tray_->show();
    }
    Rebuild();
}

void MenuWindow::Rebuild() {
    menuBar()->clear();
    tray_menu_.clear();
    QMenu* menu = session_->Menu();
    if (menu) {
        menuBar()->addActions(menu->actions());
        tray_menu_.addActions(menu->actions());
    }
    tray_menu_.addSeparator();
    tray_menu_.addAction("Show &Window", this, [this] { show(), raise(), activateWindow(); });
    tray_menu_.addAction("&Quit", qApp, &QApplication::quit);

    QString text = QString("%1\n%2 item(s)").arg(session_->Path()).arg(session_->Commands());
    const std::vector<std::uint16_t> keys = session_->HotKeys();
    if (!keys.empty()) {
        QStringList names;
        for (std::uint16_t k : keys) names << GlobalHotKeys::Text(k);
        text += ", hot keys " + names.join(", ");
    }
    if (hotkeys_ && hotkeys_->Available()) {
        const QStringList taken = hotkeys_->Grab();
        text += QString("\n%1 hot key(s) work in every window").arg(hotkeys_->Grabbed() - taken.size());
        if (!taken.isEmpty()) text += "; held by another program: " + taken.join(", ");
    } else if (!keys.empty()) {
        text += "\nHot keys work while this window has the focus (no X11 display).";
    }
    info_->setText(text);
}

void MenuWindow::ShowRun(const QString& title, bool ok, const QString& message) {
    status_->setText(ok ? QString("\"%1\" ran to its end.").arg(title)
                        : QString("\"%1\" stopped: %2").arg(title, message));
    if (tray_ && !isVisible() && !ok) tray_->showMessage(windowTitle(), status_->text(), QSystemTrayIcon::Warning);
}

void MenuWindow::keyPressEvent(QKeyEvent* event) {
    const unsigned mods = Modifiers(event->modifiers());
    // As a window gets them: the key down, then its character.
    if (const unsigned vk = VirtualKey(event->key()); vk && session_->CheckKey(TARN_MSG_KEYDOWN, vk, mods)) return;
    const QString text = event->text();
    if (text.size() == 1 && text[0].unicode() < 256 && session_->CheckKey(TARN_MSG_CHAR, text[0].unicode(), mods))
        return;
    QMainWindow::keyPressEvent(event);
}

void MenuWindow::closeEvent(QCloseEvent* event) {
    // With a tray icon the menu stays there; without one closing ends it.
    if (tray_ && tray_->isVisible()) {
        hide();
        event->ignore();
        return;
    }
    event->accept();
    qApp->quit();
}

}  // namespace tarnmenu
