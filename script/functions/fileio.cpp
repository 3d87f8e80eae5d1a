// The file input/output family: line files in five slots, and the file and
// directory listings.
#include "builtins.h"
#include "errors.h"
#include "functions/family_util.h"
#include "functions/logic/filelist.h"
#include "functions/logic/filenames.h"
#include "functions/logic/linefile.h"
#include "owned_value.h"
#include "values.h"

#include <cstring>

namespace tarn::fn {
namespace {

FileSlots slotsOf(Call& c) { return FileSlots{c.State().files, c.State().file_modes}; }

// The descriptor of a handle argument, or -1 (with `invalid` set) when the
// value is not of the handle type: a plain number is never taken for one.
int handleArg(Call& c, int invalid) {
    if (!c.IsHandle(0) || c.Int(0) < 0) {
        c.Fail(invalid);
        return -1;
    }
    return c.Int(0);
}

void FileOpen(Call& c) {
    if (!NoWildcards(c, c.Str(0))) return;
    int fd = -1;
    auto& s = c.State();
    int rc = lineOpen(slotsOf(c), slashes(c.Str(0)), c.Str(1), s.share_read, s.share_write, fd);
    if (rc) return c.Fail(rc);
    c.ReturnHandle(fd);
}

void FileRead(Call& c) {
    int fd = handleArg(c, err::FileReadInvalidFileHandle);
    if (fd < 0) return;
    std::string line;
    if (int rc = lineRead(slotsOf(c), fd, line)) return c.Fail(rc);
    ReturnTextOrMemError(c, line);
}

void FileWrite(Call& c) {
    int fd = handleArg(c, err::FileWriteInvalidFileHandle);
    if (fd < 0) return;
    if (int rc = lineWrite(slotsOf(c), fd, c.Str(1), c.State().line_terminator)) return c.Fail(rc);
    c.ReturnInt(0);
}

void FileClose(Call& c) {
    int fd = handleArg(c, err::FileCloseInvalidFileHandle);
    if (fd < 0) return;
    if (int rc = lineClose(slotsOf(c), fd)) return c.Fail(rc);
    c.ReturnInt(0);
}

// An empty mask list goes to the host's "itemizenull" function when it has
// one (first text "0" for files, "1" for directories).
bool itemizeNull(Call& c, bool directories) {
    ScriptContext* ctx = c.Context();
    const KeywordEntry* table = c.State().host_table;
    if (!table || !ctx->host_callback) return false;
    for (int i = 0; table[i].name_length; ++i) {
        if (std::strncmp(table[i].name, "itemizenull", sizeof table[i].name) != 0) continue;
        OwnedValue out(ctx);
        SetInt(*out, 0);
        TarnAnswer answer{ctx, out.get()};
        intptr_t status = ctx->host_callback(c.State().window, c.State().instance, TARN_CALLBACK_WORD, i, ViperAnswer,
                                             &answer, nullptr, directories ? "1" : "0", "", "", "", "");
        std::string text;
        if (status >= 0 && (out->type & TARN_STRING)) text = std::string(TextOf(ctx, *out));
        ReturnTextOrMemError(c, text);
        return true;
    }
    return false;
}

void itemize(Call& c, bool directories) {
    if (c.Str(0).empty()) {
        if (!itemizeNull(c, directories)) c.ReturnText("");
        return;
    }
    Listing l = itemizeNames(c.Str(0), ItemDelim(c), directories, c.State().hidden_files != 0);
    ReturnTextOrMemError(c, l.list);
    if (l.error && !c.Failed()) c.Fail(l.error);
}

void FileItemize(Call& c) { itemize(c, false); }
void DirItemize(Call& c) { itemize(c, true); }

constexpr BuiltinEntry kFileIo[] = {
    {"fileopen", FileOpen},   {"fileread", FileRead},       {"filewrite", FileWrite},
    {"fileclose", FileClose}, {"fileitemize", FileItemize}, {"diritemize", DirItemize},
};

}  // namespace
}  // namespace tarn::fn

TARN_FAMILY(fileio, tarn::fn::kFileIo)
