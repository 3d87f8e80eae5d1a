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

TARN_API TarnHandle GlobalAlloc(unsigned flags, size_t bytes); /* 0 on failure */
TARN_API TarnHandle GlobalReAlloc(TarnHandle h, size_t bytes, unsigned flags); /* 0 on failure */
TARN_API void* GlobalLock(TarnHandle h); /* NULL on failure */
TARN_API int GlobalUnlock(TarnHandle h); /* non-zero while still locked */
TARN_API TarnHandle GlobalFree(TarnHandle h); /* 0 on success, else h */
TARN_API size_t GlobalSize(TarnHandle h); /* 0 on failure */

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
    uint32_t guard;     /* "5678": the tag before the first block */
} StringHeap;

struct ScriptContext;

/* Answer record handed to a callback: the callee passes it to ViperAnswer. */
typedef struct TarnAnswer {
    struct ScriptContext* context;
    Value* result;
} TarnAnswer;

typedef intptr_t (*TarnViperAnswer)(intptr_t status, intptr_t ignored, TarnAnswer* answer,
                                    intptr_t text_flag, intptr_t number, const char* text);

/* Host callback and extender entry: twelve pointer-sized arguments. */
typedef intptr_t (*TarnCallback)(TarnHandle window, TarnHandle instance, intptr_t interface_word,
                                 intptr_t request, TarnViperAnswer answer, TarnAnswer* record,
                                 void* slot, const char* text1, const char* text2,
                                 const char* text3, const char* text4, const char* text5);

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
    VariableEntry* variables;       /* locked variable table (set on every entry) */
    TarnCallback host_callback;     /* 0 = none */
    int32_t extender_count;
    KeywordEntry extenders[200];    /* codes 3000 + position */
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
 * ProcessSubExpression, TarnSelectUi, TarnLastOutcome 0; find_var 0xFFFF;
 * get_token and get_string_token 0 (end of line); ViperAnswer -4; VFree,
 * putback and DoDllAbout do nothing. */

TARN_API intptr_t DoDaDllInit(TarnHandle window, TarnHandle context, intptr_t third,
                              uint16_t request, intptr_t number, const char* text1,
                              const char* text2);
TARN_API intptr_t ProcessDaBatBuffer(TarnHandle window, TarnHandle context, TarnHandle script,
                                     TarnCallback host_callback, const KeywordEntry* host_table);
TARN_API intptr_t DLLServices(TarnHandle context, uint16_t request, const char* text_in,
                              char* text_out, intptr_t number, intptr_t number2);
TARN_API uint16_t VMalloc(StringHeap* heap, uint32_t bytes);
TARN_API void VFree(ScriptContext* context, StringHeap* heap, uint16_t offset);
TARN_API uint32_t find_var(ScriptContext* context, const char* name);
TARN_API int get_token(ScriptContext* context);
TARN_API int get_string_token(ScriptContext* context);
TARN_API void putback(ScriptContext* context);
TARN_API int ProcessSubExpression(ScriptContext* context, Value* out, int assignment_allowed);
TARN_API intptr_t ViperAnswer(intptr_t status, intptr_t ignored, TarnAnswer* answer,
                              intptr_t text_flag, intptr_t number, const char* text);
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

#ifdef __cplusplus
}
#endif

#endif /* TARNPROC_H */
