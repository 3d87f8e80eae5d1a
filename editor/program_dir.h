// The program directory: the folder of the running executable, where the
// shipped files (font, help page, the control's design state) are read from.
// Files the editor writes under a fixed name go there too, or to the per-user
// cache folder when the program directory is not writable.
#pragma once

#include <QString>

namespace vrayu {

// Directory of the running executable, or the one set by SetProgramDirectory.
QString ProgramDirectory();
// Replaces the program directory for the rest of the run (tests); an empty
// path restores the executable's own folder.
void SetProgramDirectory(const QString& dir);

// A shipped file: program directory + "/" + name.
QString ProgramFile(const QString& name);
// Where a file the program writes under a fixed name goes: the program
// directory when it is writable, else $XDG_CACHE_HOME/vrayu (created 0700 on
// demand; ~/.cache/vrayu when the variable is unset, the home from the
// password database without $HOME). "" when that folder belongs to another
// user or cannot be made: the write then fails.
QString WritableProgramFile(const QString& name);

}  // namespace vrayu
