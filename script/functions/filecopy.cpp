// The file management family: copy, move, append, rename and delete over
// file lists.
#include "builtins.h"
#include "errors.h"
#include "functions/family_util.h"
#include "functions/logic/filemanage.h"

#include <cstdio>

namespace tarn::fn {
namespace {

void run(Call& c, FileOp op, std::string_view target, bool warning) {
    FileManager m(op);
    m.delim = ItemDelim(c);
    if (op == FileOp::Copy || op == FileOp::Move) {
        // Quiet mode cannot ask: refuse before any file is touched.
        if (warning && c.State().quiet) return c.Fail(err::FileCopyMoveCannotSpecifyWarningTRUEBackground);
        m.mode = warning ? kAsk : kOverwriteAll;
        m.ask = ReplaceDialog(c);
    }
    int rc = m.run(c.Str(0), target);
    if (!m.detail.empty()) std::snprintf(c.State().error_detail, sizeof c.State().error_detail, "%s", m.detail.c_str());
    if (rc == -1) return c.ReturnInt(0);  // no destination name could be built
    if (rc) return c.Fail(rc);
    c.ReturnInt(1);
}

void FileCopy(Call& c) { run(c, FileOp::Copy, c.Str(1), c.Int(2) != 0); }
void FileMove(Call& c) { run(c, FileOp::Move, c.Str(1), c.Int(2) != 0); }
void FileAppend(Call& c) { run(c, FileOp::Append, c.Str(1), false); }
void FileRename(Call& c) { run(c, FileOp::Rename, c.Str(1), false); }
void FileDelete(Call& c) { run(c, FileOp::Delete, "", false); }

constexpr BuiltinEntry kFileCopy[] = {
    {"filecopy", FileCopy},     {"filemove", FileMove},     {"fileappend", FileAppend},
    {"filerename", FileRename}, {"filedelete", FileDelete},
};

}  // namespace
}  // namespace tarn::fn

TARN_FAMILY(filecopy, tarn::fn::kFileCopy)
