// Starting programs and documents on Linux: command-line splitting, program
// lookup (registered application paths in the registry store, then PATH),
// document association (the classes root's "shell\<verb>\command", else
// xdg-open), posix_spawn and waiting. No interpreter types.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace tarn::launch {

// Splits a parameter text into words without a shell: blanks and tabs
// separate; double or single quotes group (and are dropped); "" is an empty
// word. Backslashes are ordinary characters (paths may use them).
std::vector<std::string> SplitWords(std::string_view text);

// The registered application path of a program name (its default value) and
// the "Path" value of that entry, from
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\.
// The name is looked up as given, then with ".EXE" added.
struct AppPath {
    std::string program;
    std::string path;  // put in front of PATH for the start; may be empty
};
bool LookUpAppPath(std::string_view name, AppPath* out);

// A name without "/" searched on PATH (executable regular files); "" when
// none is found.
std::string SearchPath(std::string_view name, std::string_view path_variable);

// The program and arguments that open a document with a verb ("open",
// "print"): the registered command of its extension (class name from the
// extension's default value, or the extension key itself), split into
// words, with "%1" in a word replaced by the file, else the file added as
// the last word; the parameters' words follow. The file is always one
// argument whatever it contains (blanks, quotes). Empty when the registry
// has no command for it.
std::vector<std::string> AssociatedCommand(std::string_view file, std::string_view parameters, std::string_view verb);

// Starts argv[0] (a path) with the arguments in `directory` ("" = current),
// with `path_prefix` put in front of PATH when not empty. Returns 0 and the
// process id, or the errno of the failure.
int Spawn(const std::vector<std::string>& argv, std::string_view directory, std::string_view path_prefix, pid_t* pid);

// Waits for the process to end, polling with growing pauses up to 500 ms;
// `stop` is checked between polls (the process is then left running).
// Returns the exit status, 128 + signal for a killed process, or -1 when
// stopped or the process cannot be waited for.
int Wait(pid_t pid, const volatile unsigned char* stop);

// A process started without waiting: it is collected once it has ended (at
// the next start or Detach), so none stays a zombie. Only processes handed
// here are collected; other children of the host are left alone.
void Detach(pid_t pid);

}  // namespace tarn::launch
