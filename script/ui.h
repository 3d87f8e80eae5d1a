// The user-interface provider: every message box and fixed dialog of the
// library goes through one of these, chosen at run time. Console prints the
// box and reads the answer from the terminal; quiet answers Cancel; scripted
// hands out answers given in advance (tests).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui_forms.h"

namespace tarn {

struct State;

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Stop, Warning, Question, Information };
enum class Answer { Ok, Cancel, Yes, No };

class Ui {
public:
    virtual ~Ui() = default;
    // A message box; the answer is one of its buttons.
    virtual Answer MessageBox(std::string_view caption, std::string_view text, Buttons buttons, Icon icon) = 0;
    // A one-line entry dialog; nullopt means Cancel. `hidden` hides typing.
    virtual std::optional<std::string> AskLine(std::string_view title, std::string_view prompt,
                                               std::string_view initial, bool hidden) = 0;
    // A dialog with a row of buttons whose captions may mark a mnemonic with
    // "&". Returns the position of the button chosen, or -1 when the dialog
    // was closed without one or cannot be shown.
    virtual int ChooseButton(std::string_view caption, std::string_view text,
                             const std::vector<std::string>& buttons) = 0;
    // A list to choose one item from. Returns the item's position, -1 when
    // the user confirmed without choosing one, or nullopt for Cancel.
    virtual std::optional<int> ChooseItem(std::string_view title, const std::vector<std::string>& items) = 0;
    // A box shown for a number of seconds that closes by itself.
    virtual void Display(int seconds, std::string_view title, std::string_view text) = 0;
    // Text written to the system debugger output (trace lines, debugdata).
    virtual void DebugOutput(std::string_view text) = 0;
    // The default beep.
    virtual void Beep() {}

    // The dialogs below have defaults in terms of the ones above (or
    // Cancel) so that a provider written before them keeps working; every
    // provider of this library overrides them. They are inline: the Qt
    // plugin derives from Ui without linking the interpreter.

    // A line entry whose OK and Cancel buttons may be renamed.
    virtual std::optional<std::string> AskText(std::string_view title, std::string_view prompt,
                                               std::string_view initial, bool hidden, std::string_view ok,
                                               std::string_view cancel) {
        (void)ok;
        (void)cancel;
        return AskLine(title, prompt, initial, hidden);
    }
    // A list; the positions chosen (none: confirmed without a choice), or
    // nullopt for Cancel.
    virtual std::optional<std::vector<int>> ChooseList(const ListRequest& r) {
        const std::optional<int> i = ChooseItem(r.title, r.items);
        if (!i) return std::nullopt;
        if (*i < 0) return std::vector<int>{};
        return std::vector<int>{*i};
    }
    // A script-defined dialog: the value it closed with (0 Cancel), the
    // controls' state changed by the user.
    virtual int RunForm(Form& form) {
        (void)form;
        return 0;
    }
    // File names chosen (one unless the mode allows several), or nullopt.
    virtual std::optional<std::vector<std::string>> AskFileName(const FileRequest& r) {
        (void)r;
        return std::nullopt;
    }
    virtual std::optional<std::string> AskDirectory(const DirectoryRequest& r) {
        (void)r;
        return std::nullopt;
    }
};

// Version of the Ui interface a provider plugin is built against; the
// loader refuses a plugin built for another.
inline constexpr int kUiInterfaceVersion = 1;

// The provider in use (console until a host picks another).
Ui& CurrentUi();
void SetUi(std::unique_ptr<Ui> ui);

std::unique_ptr<Ui> MakeConsoleUi();
std::unique_ptr<Ui> MakeQuietUi();
// Answers are consumed in order: "ok", "cancel", "yes", "no" answer message
// boxes; "text:..." answers AskLine; "button:CAPTION" (with or without "&",
// any case) or "button#N" (1-based) chooses a button; "item:TEXT" or
// "item#N" chooses from a list ("item#N,M,..." several), "ok" confirms a
// list without a choice; "file:PATH" ("file:A;B" several) answers a file
// name question, "dir:PATH" a directory question. A script-defined dialog
// takes answers until one closes it: "type:NN=TEXT" types into control NN
// (its number in the definition), "click:NN" clicks it, "pick:NN=ENTRY"
// chooses an entry of an item or file list box, "button:CAPTION" clicks a
// push button, "enter" presses Enter, "cancel" presses Escape. An answer
// that fits nothing, or the end of the list, is Cancel. Everything asked is
// recorded in `Transcript()`.
class ScriptedUi : public Ui {
public:
    explicit ScriptedUi(std::vector<std::string> answers) : answers_(std::move(answers)) {}
    Answer MessageBox(std::string_view caption, std::string_view text, Buttons buttons, Icon icon) override;
    std::optional<std::string> AskLine(std::string_view title, std::string_view prompt, std::string_view initial,
                                       bool hidden) override;
    int ChooseButton(std::string_view caption, std::string_view text, const std::vector<std::string>& buttons) override;
    std::optional<int> ChooseItem(std::string_view title, const std::vector<std::string>& items) override;
    void Display(int seconds, std::string_view title, std::string_view text) override;
    void DebugOutput(std::string_view text) override;
    std::optional<std::string> AskText(std::string_view title, std::string_view prompt, std::string_view initial,
                                       bool hidden, std::string_view ok, std::string_view cancel) override;
    std::optional<std::vector<int>> ChooseList(const ListRequest& r) override;
    int RunForm(Form& form) override;
    std::optional<std::vector<std::string>> AskFileName(const FileRequest& r) override;
    std::optional<std::string> AskDirectory(const DirectoryRequest& r) override;
    const std::vector<std::string>& Transcript() const { return transcript_; }

private:
    std::string Next();
    std::vector<std::string> answers_;
    std::size_t next_ = 0;
    std::vector<std::string> transcript_;
};

// The text of a message box of the library open now in this process (in
// another thread) whose caption begins with `title`, any case; the last
// opened when several match.
std::optional<std::string> OpenMessageText(std::string_view title);
// True when `caption` begins with `title`, any case.
bool TitleMatches(std::string_view caption, std::string_view title);

// Plays a system sound of the library's boxes ("SystemHand",
// "SystemQuestion", ...) as its sound-theme event when the context's sounds
// are on (never in quiet mode).
void PlaySystemSound(const State& s, std::string_view name);
// The "beep" statement: the theme's bell, else the provider's beep.
void DefaultBeep();

// A caption without its mnemonic marks ("&&" stands for "&").
std::string WithoutMnemonic(std::string_view caption);

// Splits "a|b|c" into answers for ScriptedUi.
std::vector<std::string> SplitAnswers(std::string_view list);

}  // namespace tarn
