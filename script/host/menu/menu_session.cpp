#include "menu_session.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <cstring>

namespace tarnmenu {
namespace {

constexpr int kVariables = 2000;
constexpr std::size_t kHeapBytes = 65536;
constexpr const char* kCaption = "Tarn Menu";

}  // namespace

MenuSession::MenuSession(const QString& path, QObject* parent) : QObject(parent) {
    // Absolute: an item's script may change the working folder.
    std::snprintf(record_.path, sizeof record_.path, "%s",
                  QFile::encodeName(QFileInfo(path).absoluteFilePath()).constData());
    const intptr_t size = DoDaDllInit(0, 0, TARN_INTERFACE_WORD, 0, 0, nullptr, nullptr);
    if (size > 0) {
        ctx_ = GlobalAlloc(GHND, static_cast<size_t>(size));
        vars_ = GlobalAlloc(GHND, kVariables * sizeof(VariableEntry));
        heap_ = GlobalAlloc(GHND, kHeapBytes);
    }
    if (!ctx_ || !vars_ || !heap_ || DoDaDllInit(0, ctx_, 0, 1, 0, "tarn-menu", nullptr) == 0 ||
        DoDaDllInit(0, ctx_, vars_, 2, kVariables, nullptr, nullptr) == 0 ||
        DoDaDllInit(0, ctx_, heap_, 3, static_cast<intptr_t>(kHeapBytes), nullptr, nullptr) == 0) {
        if (ctx_) GlobalFree(ctx_);
        ctx_ = 0;
    }
    // Editors save by writing in place or by replacing the file: watch both,
    // and let a burst of changes settle before reading.
    settle_.setSingleShot(true);
    settle_.setInterval(200);
    connect(&settle_, &QTimer::timeout, this, [this] {
        Load();
        Watch();
    });
    connect(&watcher_, &QFileSystemWatcher::fileChanged, &settle_, qOverload<>(&QTimer::start));
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        // A file replaced by a rename drops out of the watch: it came back.
        if (QFileInfo::exists(Path()) && !watcher_.files().contains(Path())) settle_.start();
    });
    Watch();
}

MenuSession::~MenuSession() {
    if (hotkeys_) GlobalFree(hotkeys_);
    if (ctx_) {
        DoDaDllInit(0, ctx_, 0, 99, 0, nullptr, nullptr);
        GlobalFree(ctx_);
    }
    if (vars_) GlobalFree(vars_);
    if (heap_) GlobalFree(heap_);
}

void MenuSession::Watch() {
    if (!watcher_.files().contains(Path()) && QFileInfo::exists(Path())) watcher_.addPath(Path());
    const QString dir = QFileInfo(Path()).absolutePath();
    if (!watcher_.directories().contains(dir)) watcher_.addPath(dir);
}

bool MenuSession::Load() {
    if (!ctx_) return false;
    building_ = std::make_unique<QMenu>();
    menus_.clear();
    TarnMenuBuilder builder{this, CreateBar, CreatePopup, AppendItem, AppendSeparator};
    TarnMenuFileRecord record = record_;
    TarnHandle hotkeys = 0;
    const intptr_t count = LoadStandardMenu(ctx_, 0, &record, &builder, &hotkeys, kCaption);
    if (count <= 0) {
        building_.reset();
        return false;
    }
    if (hotkeys_) GlobalFree(hotkeys_);
    hotkeys_ = hotkeys;
    record_ = record;
    commands_ = static_cast<int>(count);
    // The old menu may be the one whose action is running now.
    if (root_) root_.release()->deleteLater();
    root_ = std::move(building_);
    emit Reloaded();
    return true;
}

QMenu* MenuSession::MenuOf(intptr_t handle) const {
    return handle >= 1 && static_cast<std::size_t>(handle) <= menus_.size()
               ? menus_[static_cast<std::size_t>(handle - 1)]
               : nullptr;
}

intptr_t MenuSession::CreateBar(void* data) {
    auto* s = static_cast<MenuSession*>(data);
    s->menus_.push_back(s->building_.get());
    return static_cast<intptr_t>(s->menus_.size());
}

intptr_t MenuSession::CreatePopup(void* data, intptr_t parent, const char* title) {
    auto* s = static_cast<MenuSession*>(data);
    QMenu* holder = s->MenuOf(parent);
    if (!holder) return 0;
    s->menus_.push_back(holder->addMenu(QString::fromLatin1(title)));
    return static_cast<intptr_t>(s->menus_.size());
}

int MenuSession::AppendItem(void* data, intptr_t menu, const char* title, intptr_t id, const char* hotkey) {
    auto* s = static_cast<MenuSession*>(data);
    QMenu* holder = s->MenuOf(menu);
    if (!holder) return 0;
    // Text after a tab is the shortcut column of a Qt menu.
    QString text = QString::fromLatin1(title);
    if (*hotkey) text += '\t' + QString::fromLatin1(hotkey);
    QAction* action = holder->addAction(text);
    action->setData(QVariant::fromValue<qlonglong>(id));
    // Queued: the menu closes before the script runs.
    connect(
        action, &QAction::triggered, s, [s, id] { s->RunCommand(id); }, Qt::QueuedConnection);
    return 1;
}

int MenuSession::AppendSeparator(void* data, intptr_t menu) {
    QMenu* holder = static_cast<MenuSession*>(data)->MenuOf(menu);
    if (!holder) return 0;
    holder->addSeparator();
    return 1;
}

std::vector<std::uint16_t> MenuSession::HotKeys() const {
    std::vector<std::uint16_t> codes;
    if (!hotkeys_) return codes;
    const auto* words = static_cast<const std::uint16_t*>(GlobalLock(hotkeys_));
    for (std::uint16_t i = 0; i < words[0]; ++i) codes.push_back(words[1 + 2 * i]);
    GlobalUnlock(hotkeys_);
    return codes;
}

QString MenuSession::Title(intptr_t id) const {
    if (!root_) return {};
    for (QAction* a : root_->findChildren<QAction*>())
        if (a->data().toLongLong() == id && !a->menu()) return a->text().section('\t', 0, 0).remove('&');
    return {};
}

bool MenuSession::CheckKey(unsigned message, uintptr_t key, unsigned modifiers) {
    if (!hotkeys_) return false;
    modifiers_ = modifiers;
    TarnHotKeyHost host{this, [](void* d) { return static_cast<MenuSession*>(d)->modifiers_; },
                        // A menu running an item takes no new command until it is done.
                        [](void* d, TarnHandle) -> int { return !static_cast<MenuSession*>(d)->running_; },
                        [](void* d, TarnHandle, intptr_t id) {
                            auto* s = static_cast<MenuSession*>(d);
                            QMetaObject::invokeMethod(
                                s, [s, id] { s->RunCommand(id); }, Qt::QueuedConnection);
                        }};
    return HotKeyCheck(hotkeys_, 0, message, key, &host) == 1;
}

void MenuSession::RunCommand(intptr_t id) {
    if (running_ || !ctx_) return;
    running_ = true;
    const QString title = Title(id);
    const intptr_t script = MenuSelectProcessing(ctx_, 0, id, commands_, &record_, kCaption);
    if (script == -1) {
        running_ = false;
        Load();
        return;
    }
    if (script != 0) {
        ProcessDaBatBuffer(0, ctx_, script, nullptr, nullptr);
        GlobalFree(script);
        int code = 0;
        char message[300] = {};
        const bool ok = TarnLastOutcome(ctx_, &code, message, sizeof message) == 1;
        running_ = false;
        emit Ran(title, ok, ok ? QString() : QString("%1: %2").arg(code).arg(QString::fromLatin1(message)));
        return;
    }
    running_ = false;
}

void MenuSession::SetQuiet(const char* log) {
    if (ctx_) DLLServices(ctx_, 23, log, nullptr, 1, 0);
}

QString MenuSession::Variable(const char* name) const {
    char value[4096] = {};
    if (!ctx_ || !DLLServices(ctx_, 2, name, value, sizeof value, 0)) return {};
    return QString::fromLatin1(value);
}

}  // namespace tarnmenu
