// The library's own part of a ScriptContext: every piece of interpreter
// state lives here, inside the host's block, so several contexts can run
// side by side. Plain data only: the host owns and may move the bytes.
#pragma once

#include <cstdint>
#include <new>

#include "tarnproc.h"

namespace tarn {

class LabelTable;
class VariableIndex;

inline constexpr int kLineMax = 256;   // characters of a script line
inline constexpr int kSubstMax = 255;  // characters of a substituted line
inline constexpr int kTextBuf = 257;
inline constexpr int kStructMax = 100;   // open structures
inline constexpr int kCallDepthMax = 6;  // nested call()
inline constexpr int kFileSlots = 5;
inline constexpr int kBinarySlots = 10;
inline constexpr int kLibrarySlots = 10;
inline constexpr int kExtenderSlots = 10;
inline constexpr int kMaxArgs = 20;

// Token types.
enum TokenType : std::uint8_t {
    kTokEnd = 0,
    kTokKeyword = 1,
    kTokVariable = 2,
    kTokInteger = 3,
    kTokString = 4,
    kTokFloat = 5,
};

// Error modes set by errormode().
enum ErrorMode : std::int8_t { kModeOff = 0, kModeCancel = 1, kModeNotify = 2 };

// Internal codes above 9000 (never shown as messages of their own).
inline constexpr int kCodeExit = 9000;
inline constexpr int kCodeReported = 9002;
inline constexpr int kCodeStop = 9012;
inline constexpr int kCodeCallFailed = 9013;
inline constexpr int kCodeCancel = 9999;

// Structure kinds on the structure stack.
enum StructKind : std::uint8_t {
    kStructIf = 1,
    kStructElse,  // if block whose else was seen
    kStructWhile,
    kStructFor,
    kStructSwitch,
    kStructGosub0,     // gosub saving last-if 0
    kStructGosub1,     // ... 1
    kStructGosubNone,  // ... -1
    kStructCall,
};

// Skip states of a structure entry.
enum SkipState : std::uint8_t {
    kRun = 0,
    kFalse = 1,  // condition false: else/case may still start the block
    kOuter = 2,  // an enclosing block is skipped
    kContinue = 4,
    kBreak = 8,
};

struct StructEntry {
    std::uint8_t kind;
    std::uint8_t skip;
    std::int8_t last_if;
    std::uint8_t spare;
    std::uint32_t offset;  // text offset to come back to
};

struct State {
    std::uint32_t magic;  // kStateMagic once DoDaDllInit 1 ran

    // Text buffers.
    char module_name[kTextBuf];
    char line[kTextBuf + 1];   // current line as read
    char subst[kTextBuf + 1];  // line after %substitution
    char message[kTextBuf];
    char caption[kTextBuf];
    char error_detail[kTextBuf];  // extender/host error text
    char host_name[21];

    // Blocks of the host.
    TarnHandle context_handle;
    TarnHandle variables_handle;
    std::uint16_t variables_capacity;
    std::uint16_t variables_used;
    VariableIndex* variable_index;  // owned (variable_index.h), built on first use
    TarnHandle heap_handle;
    StringHeap* heap;
    std::uint32_t heap_size;
    TarnHandle window;
    TarnHandle parent;
    TarnHandle instance;
    const KeywordEntry* host_table;
    std::uint32_t host_flags;
    std::int32_t host_intcontrol;  // host table position of "intcontrol", -1
    std::int32_t host_dialog;      // host table position of "dialog", -1

    // Statement state.
    std::int16_t error;       // error code of the current statement
    std::int16_t last_error;  // lasterror()
    std::int8_t error_mode;
    std::int8_t debug_mode;  // debug(): 1 on, 0 off, -1
    // The statement just run, for the debug dialog (debug_hooks.h).
    std::int8_t debug_kind;      // DebugKind, -1 none yet
    std::int8_t debug_truth;     // 1, 0, -1 none
    std::int16_t debug_error;    // its error code, 0 none
    std::uint8_t debug_stopped;  // the error stopped the script
    std::uint8_t trace;          // intcontrol 7: trace lines to the debugger output
    std::uint8_t terminate;
    std::int32_t exit_code;
    std::uint32_t exit_flags;  // intcontrol 12
    std::int16_t decimals;
    std::int8_t last_if;      // 1, 0, -1
    std::uint8_t for_resume;  // next jumped back to its for line
    StructEntry stack[kStructMax];
    std::int16_t stack_top;  // entries in use
    std::int16_t call_depth;

    // The script text being run (locked by the caller of the loop).
    char* text;
    std::uint32_t text_length;
    std::uint32_t line_offset;  // first character of the current line
    std::uint32_t next_offset;  // where the line reader continues
    LabelTable* labels;         // the labels of that text (label_table.h), null between runs

    // Tokenizer.
    const char* cursor;
    const char* token_start;
    char token[kTextBuf + 1];
    std::uint8_t token_type;
    std::int16_t token_code;
    std::uint16_t token_var;  // variable slot of a type-2 token
    // Reading a line ahead to compile it: variable tokens are not entered
    // (their slot is kNoVariable), so reading has no effect on the run.
    std::uint8_t lex_only;

    // Outcome of the last run.
    std::int8_t outcome;  // 1 ended normally, 0 stopped
    std::int16_t outcome_code;
    // The error that stopped the last run and where: its code (0 none),
    // line number and text, and the called script it was in ("" when in
    // the host's text).
    std::int16_t stop_code;
    std::uint8_t stop_from_call;  // this statement's 9013 stands for a stop already noted
    std::uint32_t stop_line;
    char stop_text[kTextBuf + 1];
    char stop_script[kTextBuf];
    char script_name[kTextBuf];  // called script being run, "" for the host's text

    // Quiet mode and settings read from PELRUN.INI.
    std::uint8_t quiet;
    std::uint8_t sounds;
    std::uint8_t pretty_dialogs;
    std::uint32_t dde_timeout;
    std::intptr_t dde;  // the conversations (functions/dde.h), 0 before the first
    char quiet_log[261];
    char quiet_caption[kTextBuf];
    char quiet_text[kTextBuf];

    // Resources a script opens; closed at shutdown. File slots hold FILE*.
    std::intptr_t files[kFileSlots];
    std::uint8_t file_modes[kFileSlots];
    TarnHandle binaries[kBinarySlots];
    std::uint32_t binary_size[kBinarySlots];        // fixed at allocation
    std::uint32_t binary_eod[kBinarySlots];         // count of meaningful bytes
    std::int32_t binary_ole[kBinarySlots];          // binaryoletype (0 none)
    std::intptr_t libraries[kLibrarySlots];         // dllload: dlopen handles
    std::int32_t library_ids[kLibrarySlots];        // the number of each handle text "?N"
    std::int32_t library_serial;                    // last number given
    std::intptr_t extender_libs[kExtenderSlots];    // addextender: dlopen handles
    TarnCallback extender_entries[kExtenderSlots];  // their entries
    // The object helper library, loaded on first use, and its entries
    // (functions/objects.cpp).
    std::intptr_t object_helper;
    void* object_entries[4];

    // Settings of intcontrol shared with the built-in families.
    char item_delimiter;
    std::uint8_t share_read;
    std::uint8_t share_write;
    std::uint8_t line_terminator;
    std::uint8_t four_digit_years;
    std::uint8_t hidden_files;
    std::uint8_t online_help;
    std::uint8_t default_gui_font;
    std::int32_t key_delay;
    std::int32_t window_wait;
    std::uint8_t internal_flag;      // intcontrol 33
    std::uint8_t activation_window;  // intcontrol 61
    std::uint8_t activation_dialog;  // intcontrol 62
    char support_url[kTextBuf];

    // buttonnames(): captions of the OK and Cancel buttons of the next
    // dialog that has them ("" keeps the usual one).
    char ok_name[64];
    char cancel_name[64];
};

inline constexpr std::uint32_t kStateMagic = 0x4E524154;  // "TARN"

static_assert(sizeof(State) <= sizeof(ScriptContext::internal), "state fits in the context");

inline State& S(ScriptContext* ctx) { return *std::launder(reinterpret_cast<State*>(ctx->internal)); }
inline const State& S(const ScriptContext* ctx) { return *std::launder(reinterpret_cast<const State*>(ctx->internal)); }

// Sets the statement error unless an earlier one is set; false, so that a
// check reads `if (bad) return Error(s, err::Name);`.
inline bool Error(State& s, int code) {
    if (!s.error) s.error = static_cast<std::int16_t>(code);
    return false;
}

}  // namespace tarn
