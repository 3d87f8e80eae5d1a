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

namespace tarn {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Stop, Warning, Question, Information };
enum class Answer { Ok, Cancel, Yes, No };

class Ui {
public:
    virtual ~Ui() = default;
    // A message box; the answer is one of its buttons.
    virtual Answer MessageBox(std::string_view caption, std::string_view text, Buttons buttons,
                              Icon icon) = 0;
    // A one-line entry dialog; nullopt means Cancel. `hidden` hides typing.
    virtual std::optional<std::string> AskLine(std::string_view title, std::string_view prompt,
                                               std::string_view initial, bool hidden) = 0;
    // A box shown for a number of seconds that closes by itself.
    virtual void Display(int seconds, std::string_view title, std::string_view text) = 0;
    // Text written to the system debugger output (trace lines, debugdata).
    virtual void DebugOutput(std::string_view text) = 0;
    // The default beep.
    virtual void Beep() {}
};

// The provider in use (console until a host picks another).
Ui& CurrentUi();
void SetUi(std::unique_ptr<Ui> ui);

std::unique_ptr<Ui> MakeConsoleUi();
std::unique_ptr<Ui> MakeQuietUi();
// Answers are consumed in order: "ok", "cancel", "yes", "no" answer message
// boxes; "text:..." answers AskLine. When the list runs out every box gets
// Cancel. Everything asked is recorded in `Transcript()`.
class ScriptedUi : public Ui {
public:
    explicit ScriptedUi(std::vector<std::string> answers) : answers_(std::move(answers)) {}
    Answer MessageBox(std::string_view caption, std::string_view text, Buttons buttons,
                      Icon icon) override;
    std::optional<std::string> AskLine(std::string_view title, std::string_view prompt,
                                       std::string_view initial, bool hidden) override;
    void Display(int seconds, std::string_view title, std::string_view text) override;
    void DebugOutput(std::string_view text) override;
    const std::vector<std::string>& Transcript() const { return transcript_; }

private:
    std::string Next();
    std::vector<std::string> answers_;
    std::size_t next_ = 0;
    std::vector<std::string> transcript_;
};

// Splits "a|b|c" into answers for ScriptedUi.
std::vector<std::string> SplitAnswers(std::string_view list);

}  // namespace tarn
