#include "ui.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>
#include <mutex>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "builtins.h"
#include "context.h"
#include "functions/logic/sound_output.h"
#include "ui_text_forms.h"

namespace tarn {
namespace {

const char* ButtonWords(Buttons b) {
    switch (b) {
        case Buttons::Ok: return "[OK]";
        case Buttons::OkCancel: return "[OK/Cancel]";
        case Buttons::YesNo: return "[Yes/No]";
        case Buttons::YesNoCancel: return "[Yes/No/Cancel]";
    }
    return "";
}

std::string ReadLine(bool* ok) {
    std::string line;
    *ok = static_cast<bool>(std::getline(std::cin, line));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Position (0-based) named by "N" (1-based) among n choices, or -1.
int Numbered(std::string_view a, std::size_t n) {
    if (a.empty() || a.size() > 9) return -1;
    int v = 0;
    for (char c : a) {
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v >= 1 && static_cast<std::size_t>(v) <= n ? v - 1 : -1;
}

// Position of the button whose caption (mnemonics removed, any case) is `a`.
int ButtonNamed(std::string_view a, const std::vector<std::string>& buttons) {
    const std::string want = Lower(WithoutMnemonic(a));
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (Lower(WithoutMnemonic(buttons[i])) == want) return static_cast<int>(i);
    return -1;
}

// Prints boxes on standard error (standard output belongs to the script's
// results) and reads answers from standard input; end of input is Cancel.
class ConsoleUi : public Ui {
public:
    Answer MessageBox(std::string_view caption, std::string_view text, Buttons buttons, Icon) override {
        std::fprintf(stderr, "== %.*s ==\n%.*s\n", static_cast<int>(caption.size()), caption.data(),
                     static_cast<int>(text.size()), text.data());
        if (buttons == Buttons::Ok) {
            std::fprintf(stderr, "%s\n", ButtonWords(buttons));
            return Answer::Ok;
        }
        while (true) {
            std::fprintf(stderr, "%s ", ButtonWords(buttons));
            std::fflush(stderr);
            bool ok;
            std::string a = ReadLine(&ok);
            if (!ok) return Answer::Cancel;
            for (char& c : a) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            const bool yesNo = buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel;
            if (!yesNo && (a == "o" || a == "ok" || a.empty())) return Answer::Ok;
            if (yesNo && (a == "y" || a == "yes")) return Answer::Yes;
            if (yesNo && (a == "n" || a == "no")) return Answer::No;
            if ((a == "c" || a == "cancel") && buttons != Buttons::YesNo) return Answer::Cancel;
        }
    }
    std::optional<std::string> AskLine(std::string_view title, std::string_view prompt, std::string_view initial,
                                       bool) override {
        std::fprintf(stderr, "== %.*s ==\n%.*s", static_cast<int>(title.size()), title.data(),
                     static_cast<int>(prompt.size()), prompt.data());
        if (!initial.empty()) std::fprintf(stderr, " [%.*s]", static_cast<int>(initial.size()), initial.data());
        std::fprintf(stderr, ": ");
        std::fflush(stderr);
        bool ok;
        std::string a = ReadLine(&ok);
        if (!ok) return std::nullopt;
        if (a.empty()) return std::string(initial);
        return a;
    }
    // Numbered buttons; the answer is a number or a caption. End of input
    // closes the dialog.
    int ChooseButton(std::string_view caption, std::string_view text,
                     const std::vector<std::string>& buttons) override {
        std::fprintf(stderr, "== %.*s ==\n%.*s\n", static_cast<int>(caption.size()), caption.data(),
                     static_cast<int>(text.size()), text.data());
        for (std::size_t i = 0; i < buttons.size(); ++i)
            std::fprintf(stderr, "  %zu) %s\n", i + 1, WithoutMnemonic(buttons[i]).c_str());
        if (buttons.empty()) return -1;
        while (true) {
            std::fprintf(stderr, "Choice [1-%zu]: ", buttons.size());
            std::fflush(stderr);
            bool ok;
            const std::string a = ReadLine(&ok);
            if (!ok) return -1;
            int i = Numbered(a, buttons.size());
            if (i < 0) i = ButtonNamed(a, buttons);
            if (i >= 0) return i;
        }
    }
    // Numbered items; an empty answer confirms without a choice, "c" or
    // the end of input cancels.
    std::optional<int> ChooseItem(std::string_view title, const std::vector<std::string>& items) override {
        std::fprintf(stderr, "== %.*s ==\n", static_cast<int>(title.size()), title.data());
        for (std::size_t i = 0; i < items.size(); ++i) std::fprintf(stderr, "  %zu) %s\n", i + 1, items[i].c_str());
        while (true) {
            if (items.empty()) std::fprintf(stderr, "(no items) [OK/Cancel] ");
            else std::fprintf(stderr, "Choice [1-%zu, c to cancel]: ", items.size());
            std::fflush(stderr);
            bool ok;
            const std::string a = ReadLine(&ok);
            if (!ok) return std::nullopt;
            const std::string l = Lower(a);
            if (l == "c" || l == "cancel") return std::nullopt;
            if (a.empty() || (items.empty() && (l == "o" || l == "ok"))) return -1;
            if (const int i = Numbered(a, items.size()); i >= 0) return i;
        }
    }
    void Display(int seconds, std::string_view title, std::string_view text) override {
        std::fprintf(stderr, "== %.*s ==\n%.*s\n", static_cast<int>(title.size()), title.data(),
                     static_cast<int>(text.size()), text.data());
        if (seconds > 0 && isatty(STDERR_FILENO)) sleep(static_cast<unsigned>(seconds));
    }
    void DebugOutput(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), stderr); }
    void Beep() override {
        if (isatty(STDERR_FILENO)) std::fputc('\a', stderr);
    }
    std::optional<std::vector<int>> ChooseList(const ListRequest& r) override { return text_ui::ChooseList(r); }
    int RunForm(Form& form) override { return text_ui::RunForm(form); }
    std::optional<std::vector<std::string>> AskFileName(const FileRequest& r) override {
        return text_ui::AskFileName(r);
    }
    std::optional<std::string> AskDirectory(const DirectoryRequest& r) override { return text_ui::AskDirectory(r); }
};

class QuietUi : public Ui {
public:
    Answer MessageBox(std::string_view, std::string_view, Buttons, Icon) override { return Answer::Cancel; }
    std::optional<std::string> AskLine(std::string_view, std::string_view, std::string_view, bool) override {
        return std::nullopt;
    }
    int ChooseButton(std::string_view, std::string_view, const std::vector<std::string>&) override { return -1; }
    std::optional<int> ChooseItem(std::string_view, const std::vector<std::string>&) override { return std::nullopt; }
    void Display(int, std::string_view, std::string_view) override {}
    void DebugOutput(std::string_view) override {}
};

std::mutex g_ui_mutex;
std::unique_ptr<Ui>& Current() {
    static std::unique_ptr<Ui> ui = MakeConsoleUi();
    return ui;
}

// Appends a quiet-mode entry to the log file.
void AppendLog(const State& s, std::string_view caption, std::string_view text) {
    if (!s.quiet_log[0]) return;
    FILE* f = std::fopen(s.quiet_log, "ab");
    if (!f) return;
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    std::fprintf(f, "%02d/%02d/%02d  %02d:%02d:%02d  %s", tm.tm_mon + 1, tm.tm_mday, tm.tm_year % 100, tm.tm_hour,
                 tm.tm_min, tm.tm_sec, s.host_name);
    std::fputs("\r\n\r\n", f);
    if (!caption.empty()) {
        std::fwrite(caption.data(), 1, caption.size(), f);
        std::fputs("\r\n", f);
    }
    std::fputs("\r\n", f);
    if (!text.empty()) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fputs("\r\n", f);
    }
    std::fputs("\r\n<HR>\r\n\r\n", f);
    std::fclose(f);
}

void Keep(char* dst, std::string_view src) {
    const std::size_t n = std::min<std::size_t>(src.size(), kTextBuf - 1);
    std::memcpy(dst, src.data(), n);
    dst[n] = 0;
}

}  // namespace

Ui& CurrentUi() {
    std::lock_guard lock(g_ui_mutex);
    return *Current();
}

void SetUi(std::unique_ptr<Ui> ui) {
    std::lock_guard lock(g_ui_mutex);
    Current() = std::move(ui);
}

std::unique_ptr<Ui> MakeConsoleUi() { return std::make_unique<ConsoleUi>(); }
std::unique_ptr<Ui> MakeQuietUi() { return std::make_unique<QuietUi>(); }

std::string ScriptedUi::Next() { return next_ < answers_.size() ? answers_[next_++] : std::string("cancel"); }

Answer ScriptedUi::MessageBox(std::string_view caption, std::string_view text, Buttons, Icon) {
    transcript_.push_back("box:" + std::string(caption) + "|" + std::string(text));
    const std::string a = Next();
    if (a == "ok") return Answer::Ok;
    if (a == "yes") return Answer::Yes;
    if (a == "no") return Answer::No;
    return Answer::Cancel;
}

std::optional<std::string> ScriptedUi::AskLine(std::string_view title, std::string_view prompt,
                                               std::string_view initial, bool hidden) {
    transcript_.push_back(std::string(hidden ? "password:" : "ask:") + std::string(title) + "|" + std::string(prompt) +
                          "|" + std::string(initial));
    const std::string a = Next();
    if (a.rfind("text:", 0) == 0) return a.substr(5);
    if (a == "ok") return std::string(initial);
    return std::nullopt;
}

int ScriptedUi::ChooseButton(std::string_view caption, std::string_view text, const std::vector<std::string>& buttons) {
    std::string t = "buttons:" + std::string(caption) + "|" + std::string(text);
    for (const std::string& b : buttons) t += "|" + b;
    transcript_.push_back(std::move(t));
    const std::string a = Next();
    if (a.rfind("button#", 0) == 0) return Numbered(std::string_view(a).substr(7), buttons.size());
    if (a.rfind("button:", 0) == 0) return ButtonNamed(std::string_view(a).substr(7), buttons);
    return -1;
}

std::optional<int> ScriptedUi::ChooseItem(std::string_view title, const std::vector<std::string>& items) {
    std::string t = "list:" + std::string(title);
    for (const std::string& i : items) t += "|" + i;
    transcript_.push_back(std::move(t));
    const std::string a = Next();
    if (a == "ok") return -1;
    if (a.rfind("item#", 0) == 0) {
        const int i = Numbered(std::string_view(a).substr(5), items.size());
        return i >= 0 ? std::optional<int>(i) : std::nullopt;
    }
    if (a.rfind("item:", 0) == 0) {
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == std::string_view(a).substr(5)) return static_cast<int>(i);
    }
    return std::nullopt;
}

void ScriptedUi::Display(int seconds, std::string_view title, std::string_view text) {
    transcript_.push_back("display:" + std::to_string(seconds) + "|" + std::string(title) + "|" + std::string(text));
}

void ScriptedUi::DebugOutput(std::string_view text) { transcript_.push_back("debug:" + std::string(text)); }

std::optional<std::string> ScriptedUi::AskText(std::string_view title, std::string_view prompt,
                                               std::string_view initial, bool hidden, std::string_view ok,
                                               std::string_view cancel) {
    if (ok != "&OK" || cancel != "&Cancel")
        transcript_.push_back("names:" + std::string(ok) + "|" + std::string(cancel));
    return AskLine(title, prompt, initial, hidden);
}

std::optional<std::vector<int>> ScriptedUi::ChooseList(const ListRequest& r) {
    std::string t = std::string(r.multiple ? "multilist:" : "list:") + r.title;
    for (const std::string& i : r.items) t += "|" + i;
    if (r.ok != "&OK" || r.cancel != "&Cancel") t += "|<" + r.ok + "|" + r.cancel + ">";
    transcript_.push_back(std::move(t));
    const std::string a = Next();
    if (a == "ok") return std::vector<int>{};
    if (a.rfind("item:", 0) == 0) {
        for (std::size_t i = 0; i < r.items.size(); ++i)
            if (r.items[i] == std::string_view(a).substr(5)) return std::vector<int>{static_cast<int>(i)};
        return std::nullopt;
    }
    if (a.rfind("item#", 0) != 0) return std::nullopt;
    std::vector<int> chosen;
    std::string_view rest = std::string_view(a).substr(5);
    while (true) {
        const std::size_t comma = rest.find(',');
        const int i = Numbered(rest.substr(0, comma), r.items.size());
        if (i < 0) return std::nullopt;
        chosen.push_back(i);
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    if (!r.multiple && chosen.size() > 1) return std::nullopt;
    return chosen;
}

int ScriptedUi::RunForm(Form& form) {
    std::string t = "form:" + form.caption;
    for (const std::string& l : text_ui::FormLines(form)) t += "|" + l;
    transcript_.push_back(std::move(t));
    // "NN=REST" or "NN": the control's position and the text after "=".
    auto control = [&](std::string_view a, std::string* rest) -> int {
        const std::size_t eq = a.find('=');
        if (rest) *rest = eq == std::string_view::npos ? "" : std::string(a.substr(eq + 1));
        return Numbered(a.substr(0, eq), form.controls.size());
    };
    while (next_ < answers_.size()) {
        const std::string a = Next();
        std::string rest;
        if (a == "enter") return 1;
        if (a.rfind("type:", 0) == 0) {
            const int i = control(std::string_view(a).substr(5), &rest);
            if (i < 0 || form.controls[static_cast<std::size_t>(i)].kind != ControlKind::EditBox) return 0;
            form.controls[static_cast<std::size_t>(i)].edit = rest;
        } else if (a.rfind("click:", 0) == 0) {
            const int i = control(std::string_view(a).substr(6), nullptr);
            if (i < 0) return 0;
            const int closed = form.Click(static_cast<std::size_t>(i));
            if (form.controls[static_cast<std::size_t>(i)].kind == ControlKind::PushButton) return closed;
        } else if (a.rfind("pick:", 0) == 0) {
            const int i = control(std::string_view(a).substr(5), &rest);
            if (i < 0 || !form.Pick(static_cast<std::size_t>(i), rest)) return 0;
        } else if (a.rfind("button:", 0) == 0) {
            const std::string want = Lower(WithoutMnemonic(std::string_view(a).substr(7)));
            for (std::size_t i = 0; i < form.controls.size(); ++i)
                if (form.controls[i].kind == ControlKind::PushButton &&
                    Lower(WithoutMnemonic(form.controls[i].text)) == want)
                    return form.controls[i].value;
            return 0;
        } else {
            return 0;
        }
    }
    return 0;
}

std::optional<std::vector<std::string>> ScriptedUi::AskFileName(const FileRequest& r) {
    static const char* const kModes[] = {"save", "open", "open-multiple"};
    transcript_.push_back("file:" + r.title + "|" + r.directory + "|" + r.name + "|" +
                          kModes[static_cast<int>(r.mode)]);
    const std::string a = Next();
    if (a.rfind("file:", 0) != 0) return std::nullopt;
    std::vector<std::string> out;
    std::string_view rest = std::string_view(a).substr(5);
    while (true) {
        const std::size_t semi = rest.find(';');
        out.emplace_back(rest.substr(0, semi));
        if (semi == std::string_view::npos) break;
        rest.remove_prefix(semi + 1);
    }
    if (r.mode != FileMode::OpenMultiple && out.size() != 1) return std::nullopt;
    return out;
}

std::optional<std::string> ScriptedUi::AskDirectory(const DirectoryRequest& r) {
    transcript_.push_back("dir:" + r.prompt + "|" + r.root + "|" + r.start);
    const std::string a = Next();
    if (a.rfind("dir:", 0) != 0) return std::nullopt;
    return a.substr(4);
}

std::string WithoutMnemonic(std::string_view caption) {
    std::string out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') out += caption[++i];
            continue;
        }
        out += caption[i];
    }
    return out;
}

std::vector<std::string> SplitAnswers(std::string_view list) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= list.size() && !list.empty()) {
        const std::size_t bar = list.find('|', start);
        out.emplace_back(list.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    return out;
}

namespace {

// Message boxes open now, in any thread, as caption and text (msgtextget).
std::mutex g_open_boxes_mutex;
std::vector<std::pair<std::string, std::string>> g_open_boxes;

class OpenBox {
public:
    OpenBox(std::string_view caption, std::string_view text) {
        const std::lock_guard<std::mutex> lock(g_open_boxes_mutex);
        g_open_boxes.emplace_back(caption, text);
        caption_ = std::string(caption);
    }
    ~OpenBox() {
        const std::lock_guard<std::mutex> lock(g_open_boxes_mutex);
        for (auto box = g_open_boxes.rbegin(); box != g_open_boxes.rend(); ++box) {
            if (box->first != caption_) continue;
            g_open_boxes.erase(std::next(box).base());
            break;
        }
    }
    OpenBox(const OpenBox&) = delete;
    OpenBox& operator=(const OpenBox&) = delete;

private:
    std::string caption_;
};

}  // namespace

Answer ShowMessage(ScriptContext* ctx, std::string_view caption, std::string_view text, Buttons buttons, Icon icon) {
    if (ctx && S(ctx).magic == kStateMagic && S(ctx).quiet) {
        State& s = S(ctx);
        Keep(s.quiet_caption, caption);
        Keep(s.quiet_text, text);
        AppendLog(s, caption, text);
        return Answer::Cancel;
    }
    const OpenBox open(caption, text);
    return CurrentUi().MessageBox(caption, text, buttons, icon);
}

std::optional<std::string> OpenMessageText(std::string_view title) {
    const std::lock_guard<std::mutex> lock(g_open_boxes_mutex);
    for (auto box = g_open_boxes.rbegin(); box != g_open_boxes.rend(); ++box)
        if (TitleMatches(box->first, title)) return box->second;
    return std::nullopt;
}

void PlaySystemSound(const State& s, std::string_view name) {
    if (!s.sounds || s.quiet) return;
    const std::string_view event = sound::ThemeEvent(name);
    if (!event.empty()) sound::output().Event(event);
}

void DefaultBeep() {
    if (sound::output().Event("bell") != sound::Result::Played) CurrentUi().Beep();
}

bool TitleMatches(std::string_view caption, std::string_view title) {
    if (title.size() > caption.size()) return false;
    for (std::size_t i = 0; i < title.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(caption[i])) != std::tolower(static_cast<unsigned char>(title[i])))
            return false;
    return true;
}

std::optional<std::string> Call::AskLine(std::string_view title, std::string_view prompt, std::string_view initial,
                                         bool hidden) {
    tarn::State& s = S(ctx_);
    if (s.quiet) {
        Keep(s.quiet_caption, title);
        Keep(s.quiet_text, prompt);
        AppendLog(s, title, prompt);
        return std::nullopt;
    }
    return CurrentUi().AskLine(title, prompt, initial, hidden);
}

int Call::ChooseButton(std::string_view caption, std::string_view text, const std::vector<std::string>& buttons) {
    tarn::State& s = S(ctx_);
    if (s.quiet) {
        Keep(s.quiet_caption, caption);
        Keep(s.quiet_text, text);
        AppendLog(s, caption, text);
        return -1;
    }
    return CurrentUi().ChooseButton(caption, text, buttons);
}

std::optional<int> Call::ChooseItem(std::string_view title, const std::vector<std::string>& items) {
    tarn::State& s = S(ctx_);
    if (s.quiet) {
        Keep(s.quiet_caption, title);
        Keep(s.quiet_text, "");
        AppendLog(s, title, "");
        return std::nullopt;
    }
    return CurrentUi().ChooseItem(title, items);
}

namespace {

// Quiet mode answers every dialog with Cancel and logs it; true when it did.
bool QuietCancel(State& s, std::string_view caption, std::string_view text) {
    if (!s.quiet) return false;
    Keep(s.quiet_caption, caption);
    Keep(s.quiet_text, text);
    AppendLog(s, caption, text);
    return true;
}

void SystemQuestion(const State& s) {
    if (s.sounds) CurrentUi().Beep();
}

// The OK and Cancel captions set by buttonnames(), used up by this dialog.
std::pair<std::string, std::string> TakeButtonNames(State& s) {
    std::pair<std::string, std::string> names{s.ok_name[0] ? s.ok_name : "&OK",
                                              s.cancel_name[0] ? s.cancel_name : "&Cancel"};
    s.ok_name[0] = 0;
    s.cancel_name[0] = 0;
    return names;
}

}  // namespace

std::optional<std::string> Call::AskText(std::string_view title, std::string_view prompt, std::string_view initial,
                                         bool hidden) {
    tarn::State& s = S(ctx_);
    const auto [ok, cancel] = TakeButtonNames(s);
    if (QuietCancel(s, title, prompt)) return std::nullopt;
    SystemQuestion(s);
    return CurrentUi().AskText(title, prompt, initial, hidden, ok, cancel);
}

std::optional<std::vector<int>> Call::ChooseList(ListRequest r) {
    tarn::State& s = S(ctx_);
    std::tie(r.ok, r.cancel) = TakeButtonNames(s);
    if (QuietCancel(s, r.title, "")) return std::nullopt;
    SystemQuestion(s);
    return CurrentUi().ChooseList(r);
}

int Call::RunForm(Form& form) {
    tarn::State& s = S(ctx_);
    if (QuietCancel(s, form.caption, "")) return 0;
    SystemQuestion(s);
    form.owner = static_cast<long>(s.window);
    return CurrentUi().RunForm(form);
}

std::optional<std::vector<std::string>> Call::AskFileName(const FileRequest& r) {
    tarn::State& s = S(ctx_);
    if (QuietCancel(s, r.title, r.directory)) return std::nullopt;
    SystemQuestion(s);
    return CurrentUi().AskFileName(r);
}

std::optional<std::string> Call::AskDirectory(const DirectoryRequest& r) {
    tarn::State& s = S(ctx_);
    if (QuietCancel(s, r.prompt, r.start)) return std::nullopt;
    SystemQuestion(s);
    return CurrentUi().AskDirectory(r);
}

}  // namespace tarn
