// The library's fixed dialogs: message, display, pause, askyesno, askline
// and askpassword. A Cancel ends the statement with the user's cancel.
#include "builtins.h"
#include "ui.h"

namespace tarn {
namespace {

void MessageFn(Call& c) {
    c.Message(c.Str(0), c.Str(1), Buttons::Ok, Icon::Information);
    c.ReturnInt(1);
}

void Display(Call& c) {
    if (!c.State().quiet) c.UiProvider().Display(c.Int(0), c.Str(1), c.Str(2));
    c.ReturnInt(1);
}

// The fixed dialogs' question sound, while sounds are on.
void Question(Call& c) { PlaySystemSound(c.State(), "SystemQuestion"); }

void Pause(Call& c) {
    Question(c);
    if (c.Message(c.Str(0), c.Str(1), Buttons::OkCancel, Icon::Warning) != Answer::Ok) return c.Fail(kCodeCancel);
    c.ReturnInt(1);
}

void AskYesNo(Call& c) {
    Question(c);
    switch (c.Message(c.Str(0), c.Str(1), Buttons::YesNoCancel, Icon::Question)) {
        case Answer::Yes: c.ReturnInt(1); return;
        case Answer::No: c.ReturnInt(0); return;
        default: c.Fail(kCodeCancel); return;
    }
}

void AskLine(Call& c) {
    Question(c);
    auto answer = c.AskLine(c.Str(0), c.Str(1), c.Str(2), false);
    if (!answer) return c.Fail(kCodeCancel);
    c.ReturnText(*answer);
}

void AskPassword(Call& c) {
    Question(c);
    auto answer = c.AskLine(c.Str(0), c.Str(1), "", true);
    if (!answer) return c.Fail(kCodeCancel);
    c.ReturnText(*answer);
}

constexpr BuiltinEntry kFixedDialogs[] = {
    {"message", MessageFn}, {"display", Display}, {"pause", Pause},
    {"askyesno", AskYesNo}, {"askline", AskLine}, {"askpassword", AskPassword},
};

}  // namespace
}  // namespace tarn

TARN_FAMILY(fixed_dialogs, tarn::kFixedDialogs)
