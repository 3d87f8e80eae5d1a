#include "functions/window_find.h"

#include <chrono>
#include <thread>

#include "functions/logic/window_names.h"

namespace tarn::fn {

namespace x11 = vrayu::x11;

std::optional<WindowId> ownerWindow(Call& c) {
    const auto handle = c.State().window;
    if (handle <= 0 || handle > static_cast<TarnHandle>(UINT32_MAX)) return std::nullopt;
    const auto w = static_cast<WindowId>(handle);
    if (!x11::Exists(w)) return std::nullopt;
    return w;
}

std::optional<WindowId> findWindowOnce(Call& c, std::string_view name) {
    if (name.empty()) return ownerWindow(c);
    if (auto id = parseWindowId(name)) {
        if (*id && x11::Exists(*id)) return *id;
        return std::nullopt;
    }
    for (const x11::WindowEntry& e : x11::TopLevels())
        if (titleMatches(name, e.title)) return e.id;
    return std::nullopt;
}

std::optional<WindowId> findWindow(Call& c, std::string_view name) {
    for (std::int32_t tries = 0;; ++tries) {
        if (auto w = findWindowOnce(c, name)) return w;
        // An id or the owner does not come back by waiting.
        if (name.empty() || parseWindowId(name) || tries >= c.State().window_wait || !x11::Available()) break;
        if (!pauseScript(c, 1000)) break;
    }
    return std::nullopt;
}

std::optional<WindowId> findChild(WindowId parent, std::string_view name) {
    if (auto id = parseWindowId(name)) {
        for (const x11::WindowEntry& e : x11::Children(parent))
            if (e.id == *id) return e.id;
        return std::nullopt;
    }
    for (const x11::WindowEntry& e : x11::Children(parent))
        if (titleMatches(name, e.title)) return e.id;
    return std::nullopt;
}

bool pauseScript(Call& c, int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!c.State().terminate) {
        const auto left = until - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) return true;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(left, std::chrono::milliseconds(50)));
    }
    return false;
}

}  // namespace tarn::fn
