// Script-defined dialogs: dialog(name) reads its layout from variables,
// dialogbox(title, file) from a picture of the box in a file. Both show it
// through the Ui provider, store the controls' values back and give the
// value the dialog closed with; 0 is the user's cancel, variables untouched.
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "builtins.h"
#include "errors.h"
#include "expression.h"
#include "functions/logic/dialog_model.h"
#include "functions/family_util.h"
#include "functions/logic/filenames.h"
#include "messages.h"
#include "values.h"
#include "variables.h"

namespace tarn::fn {
namespace {

VariableReader Reader(Call& c) {
    return [ctx = c.Context()](const std::string& name) -> std::optional<std::string> {
        std::string text;
        if (!GetVariableText(ctx, name, &text)) return std::nullopt;
        return text;
    };
}

std::string CurrentDirectory() {
    char cwd[4096];
    return getcwd(cwd, sizeof cwd) ? std::string(cwd) : std::string();
}

// Shows the form, stores its values and gives its result.
void Run(Call& c, Form& form) {
    const bool hidden = c.State().hidden_files != 0;
    form.list_files = [hidden](const std::string& mask) { return fileListEntries(mask, hidden); };
    form.enter_directory = enterDirectoryEntry;
    for (std::size_t i = 0; i < form.controls.size(); ++i)
        if (form.controls[i].kind == ControlKind::FileListBox) form.RefreshFiles(i);
    const int result = c.RunForm(form);
    if (result == 0) return c.Fail(kCodeCancel);
    const char delimiter = ItemDelim(c)[0];
    for (const StoredValue& v : formResults(form, Reader(c), delimiter, CurrentDirectory())) {
        const bool stored = v.number ? SetVariableInt(c.Context(), v.variable, v.integer)
                                     : SetVariableText(c.Context(), v.variable, v.text);
        if (!stored) {
            if (!c.Failed()) c.Fail(err::OutOfStringMemory);
            return;
        }
    }
    c.ReturnInt(result);
}

// A host that has its own "dialog" function is given the call (text: the
// dialog's name); its answer is the result.
bool ToHost(Call& c) {
    State& s = c.State();
    ScriptContext* ctx = c.Context();
    if (s.host_dialog < 0 || !ctx->host_callback) return false;
    Value out;
    SetInt(out, 0);
    TarnAnswer answer{ctx, &out};
    s.error_detail[0] = 0;
    const std::string name(c.Str(0));
    const intptr_t status = ctx->host_callback(s.window, s.instance, TARN_CALLBACK_WORD, s.host_dialog, ViperAnswer,
                                               &answer, nullptr, name.c_str(), "", "", "", "");
    if (HandleCallbackStatus(ctx, status)) {
        std::string text;
        if (IsIntValue(out)) c.ReturnInt(out.integer);
        else if (ValueAsString(ctx, out, &text)) ReturnTextOrMemError(c, text);
    }
    ReleaseValue(ctx, out);
    return true;
}

void Dialog(Call& c) {
    if (ToHost(c)) return;
    Form form;
    if (const int e = buildDialogForm(c.Str(0), Reader(c), ItemDelim(c)[0], &form)) return c.Fail(e);
    Run(c, form);
}

void DialogBox(Call& c) {
    std::ifstream in(slashes(c.Str(1)), std::ios::binary);
    if (!in) return c.Fail(err::DialogBoxFileOpen);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Form form;
    const BoxResult r = buildBoxForm(c.Str(0), text, Reader(c), ItemDelim(c)[0], &form);
    if (r.error) return c.Fail(r.error);
    if (r.badMask)
        c.Message(
            std::to_string(err::DialogBoxBadFilespec) + ":  " + std::string(MessageText(err::DialogBoxBadFilespec)),
            c.Str(1), Buttons::Ok, Icon::Warning);
    Run(c, form);
}

constexpr BuiltinEntry kDialogs[] = {
    {"dialog", Dialog},
    {"dialogbox", DialogBox},
};

}  // namespace
}  // namespace tarn::fn

TARN_FAMILY(dialogs, tarn::fn::kDialogs)
