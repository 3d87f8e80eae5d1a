// The run family: programs and documents started through one launcher
// (launch.h). Show states have no meaning for Linux processes: they are
// checked and then ignored. A program started with @WAIT gives its exit
// status as the result; without waiting the result is 1.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>

#include "builtins.h"
#include "errors.h"
#include "functions/logic/launch.h"
#include "messages.h"

namespace tarn {
namespace {

constexpr int kWait = 34, kNoWait = 33;
constexpr int kErrWinExec = err::WinExecUndefinedError;

bool ValidShow(Call& c, std::int32_t show) {
    if (show == 2 || show == 1 || show == 3 || show == -1) return true;
    c.Fail(err::ExecuteFunctionErrorDisplayTypeParameterBad);
    return false;
}

bool ValidWait(Call& c, std::int32_t wait) {
    if (wait == kWait || wait == kNoWait) return true;
    c.Fail(err::ExecuteFunctionErrorWaitParameterBad);
    return false;
}

std::string Absolute(const std::string& path) {
    std::error_code ec;
    const auto p = std::filesystem::absolute(path, ec);
    return ec ? path : p.string();
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A program word of a command line as a path: names without "/" on PATH.
std::string ProgramPath(const std::string& word) {
    if (word.find('/') != std::string::npos) return Absolute(word);
    const char* path = std::getenv("PATH");
    return launch::SearchPath(word, path ? path : "");
}

int SpawnWords(std::vector<std::string> argv, const std::string& dir, pid_t* pid) {
    if (argv.empty()) return ENOENT;
    argv[0] = ProgramPath(argv[0]);
    if (argv[0].empty()) return ENOENT;
    return launch::Spawn(argv, dir, "", pid);
}

// Opens a document with a verb: its registered command, else (for "open")
// xdg-open or (for "print") lp. ENOSYS when nothing can handle it.
int OpenDocument(const std::string& file, std::string_view params, std::string_view verb, const std::string& dir,
                 pid_t* pid) {
    std::vector<std::string> command = launch::AssociatedCommand(file, params, verb);
    if (!command.empty()) return SpawnWords(std::move(command), dir, pid);
    const char* helper = verb == "open" ? "xdg-open" : verb == "print" ? "lp" : nullptr;
    if (!helper) return ENOSYS;
    const std::string path = ProgramPath(helper);
    if (path.empty()) return ENOSYS;
    return launch::Spawn({path, file}, dir, "", pid);
}

// Starts a program (or a document given as the program) with its
// parameters; 0 or the errno of the failing step.
int Start(std::string name, std::string_view params, const std::string& dir, pid_t* pid) {
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
    if (name.empty()) return ENOENT;
    std::vector<std::string> words = launch::SplitWords(params);
    launch::AppPath app;
    if (name.find('/') == std::string::npos && launch::LookUpAppPath(name, &app)) {
        std::vector<std::string> argv{Absolute(app.program)};
        argv.insert(argv.end(), words.begin(), words.end());
        if (launch::Spawn(argv, dir, app.path, pid) == 0) return 0;
    }
    // The name as given: a path, a program on PATH, or a file here.
    std::string path = ProgramPath(name);
    if (path.empty() && IsRegularFile(name)) path = Absolute(name);
    if (path.empty()) return ENOENT;
    std::vector<std::string> argv{path};
    argv.insert(argv.end(), words.begin(), words.end());
    const int rc = launch::Spawn(argv, dir, "", pid);
    if ((rc == EACCES || rc == ENOEXEC) && IsRegularFile(path)) {
        const int doc = OpenDocument(path, params, "open", dir, pid);
        return doc == ENOSYS ? rc : doc;
    }
    return rc;
}

// A failed start: error 1932, shown at once (unless errors are off) with
// the system's reason, after which the statement ends as already reported.
void FailStart(Call& c, int err) {
    State& s = c.State();
    if (s.error_mode == kModeOff) {
        c.Fail(kErrWinExec);
        return;
    }
    const std::string caption = "1932: WinExec: " + std::string(std::strerror(err));
    const char* line = s.subst[0] ? s.subst : s.line;
    const std::string text = std::string(line) + "\r\n\r\n" + std::string(MessageText(849)) + TARN_VERSION_TEXT;
    ShowMessage(c.Context(), caption, text, s.error_mode == kModeCancel ? Buttons::Ok : Buttons::OkCancel, Icon::Stop);
    s.last_error = kErrWinExec;
    c.Fail(kCodeCallFailed);
}

void Launch(Call& c, std::string_view program, std::string_view params, std::string_view dir, bool wait) {
    pid_t pid = 0;
    const int rc = Start(std::string(program), params, std::string(dir), &pid);
    if (rc != 0) return FailStart(c, rc);
    if (!wait) {
        launch::Detach(pid);
        return c.ReturnInt(1);
    }
    c.ReturnInt(launch::Wait(pid, &c.State().terminate));
}

template <bool Wait>
void RunFixed(Call& c) {
    Launch(c, c.Str(0), c.Str(1), "", Wait);
}

void RunShell(Call& c) {
    if (!ValidShow(c, c.Int(3)) || !ValidWait(c, c.Int(4))) return;
    Launch(c, c.Str(0), c.Str(1), c.Str(2), c.Int(4) == kWait);
}

void RunEnviron(Call& c) {
    if (!ValidShow(c, c.Int(2)) || !ValidWait(c, c.Int(3))) return;
    Launch(c, c.Str(0), c.Str(1), "", c.Int(3) == kWait);
}

// Shell results as the document functions report them: 1900 plus the
// result when a message exists for it, else 1932.
void FailShell(Call& c, int err) {
    const int result = err == ENOENT ? 2 : err == ENOTDIR ? 3 : err == EACCES ? 5 : err == ENOEXEC ? 11 : 31;
    const int code = 1900 + result;
    c.Fail(MessageText(code).empty() ? kErrWinExec : code);
}

void ShellVerb(Call& c, std::string_view file, std::string_view params, std::string_view dir, std::string_view verb) {
    std::string path(file);
    if (path.find('/') == std::string::npos && !IsRegularFile(path)) {
        const std::string found = ProgramPath(path);
        if (!found.empty()) path = found;
    }
    if (!IsRegularFile(path)) return FailShell(c, ENOENT);
    path = Absolute(path);
    pid_t pid = 0;
    int rc;
    if (verb == "open" && access(path.c_str(), X_OK) == 0) {
        std::vector<std::string> argv{path};
        for (std::string& w : launch::SplitWords(params)) argv.push_back(std::move(w));
        rc = launch::Spawn(argv, std::string(dir), "", &pid);
        if (rc == EACCES || rc == ENOEXEC) rc = OpenDocument(path, params, verb, std::string(dir), &pid);
    } else {
        rc = OpenDocument(path, params, verb, std::string(dir), &pid);
    }
    if (rc != 0) return FailShell(c, rc);
    launch::Detach(pid);
    c.ReturnInt(1);
}

void Print(Call& c) {
    if (!ValidShow(c, c.Int(2))) return;
    if (c.Int(3) == kWait) return c.Fail(err::ShellPrintWAITNotSupported32bit);
    if (!ValidWait(c, c.Int(3))) return;
    ShellVerb(c, c.Str(0), "", c.Str(1), "print");
}

// shellexecute(file, parameters, directory, show, verb): "" is "open".
void ShellExecute(Call& c) {
    if (!ValidShow(c, c.Int(3))) return;
    std::string verb(c.Str(4));
    for (char& ch : verb) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    ShellVerb(c, c.Str(0), c.Str(1), c.Str(2), verb.empty() ? "open" : verb);
}

// Running a program in place of the ended host is not offered by this
// library (as in its other 32-bit builds).
void RunExit(Call& c) { c.Fail(err::RunExitNotSupported32bitVersion); }

constexpr BuiltinEntry kPrograms[] = {
    {"run", RunFixed<false>},
    {"runwait", RunFixed<true>},
    {"runhide", RunFixed<false>},
    {"runhidewait", RunFixed<true>},
    {"runicon", RunFixed<false>},
    {"runiconwait", RunFixed<true>},
    {"runzoom", RunFixed<false>},
    {"runzoomwait", RunFixed<true>},
    {"runshell", RunShell},
    {"runenviron", RunEnviron},
    {"print", Print},
    {"shellexecute", ShellExecute},
    {"runexit", RunExit},
};

}  // namespace
}  // namespace tarn

TARN_FAMILY(programs, tarn::kPrograms)
