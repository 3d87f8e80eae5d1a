/* tarnproc: the Tarn script processor library.
 *
 * Everything a host program or an extender library needs: the records that
 * cross the interface (fixed byte layouts, checked at compile time), the
 * movable-memory handle family the host allocates its blocks with, and the
 * exported entry points. All entries use C linkage; no C++ exception ever
 * leaves them: when one fails inside (out of memory), it gives its failure
 * result, noted beside it, and an entry taking a context sets the
 * statement error 3096. Handles, pointers and callback arguments are
 * pointer-sized.
 *
 * Calling order of a host:
 *   DoDaDllInit 0 (handshake, gives the context size)
 *   -> GlobalAlloc a context of that size
 *   -> DoDaDllInit 1 (initialise) -> 2 (variable table) -> 3 (string heap)
 *   -> any number of ProcessDaBatBuffer / DLLServices calls
 *   -> DoDaDllInit 99 (shut down).
 */
#ifndef TARNPROC_H
#define TARNPROC_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define TARN_API __attribute__((visibility("default")))

typedef intptr_t TarnHandle; /* GlobalAlloc handle, window, module instance */

/* ---- movable global memory ------------------------------------------- */
#define GMEM_FIXED 0x0000u
#define GMEM_MOVEABLE 0x0002u
#define GMEM_ZEROINIT 0x0040u
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)

TARN_API TarnHandle GlobalAlloc(unsigned flags, size_t bytes);                 /* 0 on failure */
TARN_API TarnHandle GlobalReAlloc(TarnHandle h, size_t bytes, unsigned flags); /* 0 on failure */
TARN_API void* GlobalLock(TarnHandle h);                                       /* NULL on failure */
TARN_API int GlobalUnlock(TarnHandle h);                                       /* non-zero while still locked */
TARN_API TarnHandle GlobalFree(TarnHandle h);                                  /* 0 on success, else h */
TARN_API size_t GlobalSize(TarnHandle h);                                      /* 0 on failure */

/* ---- records ---------------------------------------------------------- */

/* Interface word of the handshake: bits 8 to 15 must hold 19. */
#define TARN_INTERFACE_WORD 0x1300u
/* Interface word passed to host callbacks and extender entries. */
#define TARN_CALLBACK_WORD 0x30030105u
#define TARN_CONTEXT_SIZE 18140

/* Keyword kinds. */
#define TARN_KW_OPERATOR 0
#define TARN_KW_UNARY 1
#define TARN_KW_FUNCTION 2
#define TARN_KW_CONSTANT 3
#define TARN_KW_COMMAND 4
#define TARN_KW_COMPARISON 5
#define TARN_KW_VARFUNCTION 6
#define TARN_KW_STRUCTURE 8

/* Argument descriptor of a function entry (kinds 2, 4, 6): low 16 bits the
 * count (TARN_VARIADIC = parsed by the function), bit 16+i argument i+1 is a
 * string, bit 24+i argument i+1 is floating point (i = 0..7). */
#define TARN_VARIADIC 100
#define TARN_ARG_STRING(i) (1u << (16 + (i)))
#define TARN_ARG_FLOAT(i) (1u << (24 + (i)))

typedef struct KeywordEntry {
    int16_t index;       /* position in its table */
    int16_t kind;        /* TARN_KW_* */
    uint32_t value;      /* argument descriptor or constant */
    int16_t name_length; /* 0 ends a host table */
    char name[14];       /* lower case, NUL padded */
} KeywordEntry;

/* Value types: a set of flags. */
#define TARN_INT 1u
#define TARN_STRING 2u
#define TARN_HANDLE 5u /* file handle: an integer (1) marked as a handle (4) */
#define TARN_UNDEFINED 8u
#define TARN_OBJECT 17u
#define TARN_FLOAT 32u

typedef struct Value {
    double real;     /* floating point representation */
    int32_t integer; /* integer representation, object handle */
    uint32_t type;   /* TARN_* flags; 0 = free slot */
    uint16_t text;   /* string heap offset, 0 = none */
    int16_t spare;   /* -1 */
} Value;

#define TARN_NAME_MAX 30
typedef struct VariableEntry {
    double real;
    int32_t integer;
    uint32_t type;
    uint16_t text;
    char name[TARN_NAME_MAX + 1]; /* lower case, NUL terminated */
} VariableEntry;

/* String heap: the host's block (at most 64 KB) starts with this header;
 * blocks follow. Offsets are 16-bit from the start of the heap. */
#define TARN_HEAP_HEADER 40
#define TARN_HEAP_MAX 65535u
#define TARN_TAG_USED 0x38373635u /* bytes "5678" */
#define TARN_TAG_FREE 0x54535251u /* bytes "QRST" */
typedef struct StringHeap {
    uint16_t free_head; /* first free block, 0 = none */
    uint16_t rover;     /* where the next first-fit search starts */
    uint32_t size;      /* bytes of the whole heap */
    uint32_t reserved[7];
    uint32_t guard; /* "5678": the tag before the first block */
} StringHeap;

struct ScriptContext;

/* Answer record handed to a callback: the callee passes it to ViperAnswer. */
typedef struct TarnAnswer {
    struct ScriptContext* context;
    Value* result;
} TarnAnswer;

typedef intptr_t (*TarnViperAnswer)(intptr_t status, intptr_t ignored, TarnAnswer* answer, intptr_t text_flag,
                                    intptr_t number, const char* text);

/* Host callback and extender entry: twelve pointer-sized arguments. */
typedef intptr_t (*TarnCallback)(TarnHandle window, TarnHandle instance, intptr_t interface_word, intptr_t request,
                                 TarnViperAnswer answer, TarnAnswer* record, void* slot, const char* text1,
                                 const char* text2, const char* text3, const char* text4, const char* text5);

/* Callback request indexes below zero. */
#define TARN_CB_STATEMENT (-1)
#define TARN_CB_OBJECTS (-2)
#define TARN_CB_SHUTDOWN (-3)
#define TARN_CB_CALL (-4)

/* Host flags (DLLServices 3). */
#define TARN_HOST_NOTIFY_STATEMENTS 2
#define TARN_HOST_NOTIFY_CALL 4

/* The per-script context. The host allocates TARN_CONTEXT_SIZE bytes and
 * never touches more than the first three fields; the rest belongs to the
 * library. */
#pragma pack(push, 4)
typedef struct ScriptContext {
    VariableEntry* variables;   /* locked variable table (set on every entry) */
    TarnCallback host_callback; /* 0 = none */
    int32_t extender_count;
    KeywordEntry extenders[200]; /* codes 3000 + position */
    uint32_t pad;
    unsigned char internal[TARN_CONTEXT_SIZE - 2 * sizeof(void*) - 4 - 200 * 24 - 4];
} ScriptContext;
#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(KeywordEntry) == 24, "KeywordEntry is 24 bytes");
static_assert(sizeof(Value) == 24, "Value layout");
static_assert(offsetof(Value, text) == 16, "Value layout");
static_assert(sizeof(VariableEntry) == 56, "VariableEntry layout");
static_assert(offsetof(VariableEntry, name) == 18, "VariableEntry layout");
static_assert(sizeof(StringHeap) == TARN_HEAP_HEADER, "string heap header is 40 bytes");
static_assert(sizeof(ScriptContext) == TARN_CONTEXT_SIZE, "context is 18140 bytes");
static_assert(offsetof(ScriptContext, internal) % 8 == 0, "library state is 8-aligned");
#endif

/* ---- exports ---------------------------------------------------------- */
/* Failure results: DoDaDllInit, ProcessDaBatBuffer, DLLServices, VMalloc,
 * ProcessSubExpression, TarnSelectUi, TarnLastOutcome, the menu exports 0; find_var 0xFFFF;
 * get_token and get_string_token 0 (end of line); ViperAnswer -4; VFree,
 * putback and DoDllAbout do nothing. */

TARN_API intptr_t DoDaDllInit(TarnHandle window, TarnHandle context, intptr_t third, uint16_t request, intptr_t number,
                              const char* text1, const char* text2);
TARN_API intptr_t ProcessDaBatBuffer(TarnHandle window, TarnHandle context, TarnHandle script,
                                     TarnCallback host_callback, const KeywordEntry* host_table);
TARN_API intptr_t DLLServices(TarnHandle context, uint16_t request, const char* text_in, char* text_out,
                              intptr_t number, intptr_t number2);
TARN_API uint16_t VMalloc(StringHeap* heap, uint32_t bytes);
TARN_API void VFree(ScriptContext* context, StringHeap* heap, uint16_t offset);
TARN_API uint32_t find_var(ScriptContext* context, const char* name);
TARN_API int get_token(ScriptContext* context);
TARN_API int get_string_token(ScriptContext* context);
TARN_API void putback(ScriptContext* context);
TARN_API int ProcessSubExpression(ScriptContext* context, Value* out, int assignment_allowed);
TARN_API intptr_t ViperAnswer(intptr_t status, intptr_t ignored, TarnAnswer* answer, intptr_t text_flag,
                              intptr_t number, const char* text);
TARN_API void DoDllAbout(TarnHandle window, TarnHandle context);

/* Linux additions for hosts: pick the user-interface provider for message
 * boxes and the library's dialogs ("console", "quiet", "qt" (the Qt plugin,
 * loaded at the first dialog; the console when it cannot be loaded), "auto"
 * (qt when a display is present, else console), or "scripted" with answers
 * separated by '|': ok, cancel, yes, no, text:WORDS, ...). 1 = done. */
TARN_API int TarnSelectUi(const char* name, const char* answers);
/* Outcome of the last ProcessDaBatBuffer on this context: 1 = ran to its end
 * or exit, 0 = stopped; *code receives the last error code. */
TARN_API int TarnLastOutcome(TarnHandle context, int* code, char* message, size_t message_size);
/* Where the error that stopped the last run was raised: its line number,
 * the called script it was in ("" for the text the host gave) and the line
 * as written. 1 = known, 0 = the run was not stopped by an error. */
TARN_API int TarnLastStop(TarnHandle context, unsigned* line, char* script, size_t script_size, char* text,
                          size_t text_size);

/* ---- menu files and hot keys ----------------------------------------- */
/* A menu file holds titles on up to four levels (indented by 0 to 3
 * blanks), each command item followed by the script lines it runs
 * (indented by a tab or four blanks); ";" and "'" lines are comments. A
 * title may name a hot key after a tab: "Ctrl+", "Shift+", "Alt+" (any
 * order) and one character or a key name (BACKSPACE, BS, CLEAR, DELETE,
 * DEL, DOWN, END, ENTER, ESCAPE, ESC, HELP, HOME, INSERT, LEFT, PGDN, PGUP,
 * PRTSC, RIGHT, TAB, UP, F1 to F16, SPACE, SP), e.g. "&Notes\tCtrl+F1". A
 * title of "-" signs alone that has neither deeper titles nor script lines
 * is a separator.
 *
 * Numbering: the command items are numbered 1, 2, ... in file order (popups
 * and separators are not counted); the command id of item n is
 * TARN_MENU_FIRST_ID + n - 1. */
#define TARN_MENU_FIRST_ID 1000
#define TARN_MENU_PATH_MAX 4096

/* The file record: the file's last write in the DOS forms (local time;
 * date = (year - 1980) << 9 | month << 5 | day, time = hour << 11 |
 * minute << 5 | second / 2), then the path. */
typedef struct TarnMenuFileRecord {
    uint16_t date;
    uint16_t time;
    char path[TARN_MENU_PATH_MAX];
} TarnMenuFileRecord;

/* How LoadStandardMenu builds the host's menu. Menu handles are the host's
 * own non-zero values; `data` is passed back to every call.
 *   create_bar: the menu bar (0 = failure, message 513);
 *   create_popup: a popup titled `title` in `parent` (the bar or a popup;
 *     0 = failure, messages 516, 517, 518 by level);
 *   append_item: a command in `menu` with its id and hot-key text ("" for
 *     none; the title keeps its "&" marks); 0 = failure (513 on the bar,
 *     516 to 518 in a popup of level 1 to 3);
 *   append_separator: a separator line in `menu` (NULL: none are added;
 *     0 = failure, as items). */
typedef struct TarnMenuBuilder {
    void* data;
    intptr_t (*create_bar)(void* data);
    intptr_t (*create_popup)(void* data, intptr_t parent, const char* title);
    int (*append_item)(void* data, intptr_t menu, const char* title, intptr_t command_id, const char* hotkey);
    int (*append_separator)(void* data, intptr_t menu);
} TarnMenuBuilder;

/* Hot-key codes: a character in upper case, or a virtual-key code plus
 * TARN_HOTKEY_VIRTUAL, with the bits of the modifiers held. */
#define TARN_HOTKEY_VIRTUAL 0x1000u
#define TARN_HOTKEY_SHIFT 0x8000u
#define TARN_HOTKEY_CTRL 0x4000u
#define TARN_HOTKEY_ALT 0x2000u
/* Keystroke messages HotKeyCheck reads (a virtual key, or a character). */
#define TARN_MSG_KEYDOWN 0x0100u
#define TARN_MSG_CHAR 0x0102u
#define TARN_MSG_SYSKEYDOWN 0x0104u
#define TARN_MSG_SYSCHAR 0x0106u

/* What HotKeyCheck asks of the host instead of posting WM_COMMAND:
 *   modifiers: the TARN_HOTKEY_SHIFT/CTRL/ALT bits of the keys held now;
 *   window_enabled: whether `window` takes commands (NULL: it does);
 *   post_command: deliver `command_id` to `window` later (the host's queue). */
typedef struct TarnHotKeyHost {
    void* data;
    unsigned (*modifiers)(void* data);
    int (*window_enabled)(void* data, TarnHandle window);
    void (*post_command)(void* data, TarnHandle window, intptr_t command_id);
} TarnHotKeyHost;

/* Flags of ParseStandardMenu. */
#define TARN_MENU_SILENT 1 /* show no message box; the result alone tells */

/* Reads record->path, builds the menu through `builder` and fills the
 * record's date and time. `hotkeys`, when not NULL, receives a new
 * GlobalAlloc block (the host frees it): a 16-bit count, then pairs of
 * 16-bit key code and command id. Message boxes (caption `title`, NULL for
 * "Tarn Menu") tell what failed. Result: the count of command items, 0 on
 * failure. `context` may be 0 (messages are then never quiet). */
TARN_API intptr_t LoadStandardMenu(TarnHandle context, TarnHandle window, TarnMenuFileRecord* record,
                                   const TarnMenuBuilder* builder, TarnHandle* hotkeys, const char* title);
/* The script of item `item` (1-based number, see Numbering) of the menu
 * file of `record`: a new GlobalAlloc block (the host frees it) holding its
 * lines, each ended by CR LF, then a zero byte; "Param0" becomes 0 and
 * param1..param9 are deleted. -1 when the file changed since the record
 * was made (its date and time differ, or `item_count`, when not 0, is no
 * longer its count of items), after message 528 asking the user to choose
 * again once the host has reloaded; 0 on failure. `ignored` is not read. */
TARN_API intptr_t ParseStandardMenu(TarnHandle context, TarnHandle window, intptr_t item, intptr_t flags,
                                    intptr_t item_count, intptr_t ignored, const TarnMenuFileRecord* record,
                                    const char* title);
/* ParseStandardMenu for a command id of the menu (TARN_MENU_FIRST_ID +
 * n - 1 is item n); an id outside the menu's gives 0 without a message. */
TARN_API intptr_t MenuSelectProcessing(TarnHandle context, TarnHandle window, intptr_t command_id, intptr_t item_count,
                                       const TarnMenuFileRecord* record, const char* title);
/* Matches a keystroke against a hot-key table of LoadStandardMenu: for
 * TARN_MSG_KEYDOWN/SYSKEYDOWN `key` is a virtual key (Shift, Ctrl, Alt
 * alone match nothing), for TARN_MSG_CHAR/SYSCHAR a character (1 to 26 with
 * Ctrl held stand for their letters); the modifiers come from the host.
 * On a match the entry's command is posted to `window` when it is enabled,
 * and the result is 1; else 0. */
TARN_API intptr_t HotKeyCheck(TarnHandle table, TarnHandle window, unsigned message, uintptr_t key,
                              const TarnHotKeyHost* host);

#ifdef __cplusplus
}
#endif

#endif /* TARNPROC_H */
