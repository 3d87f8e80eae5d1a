/* tarn_extender.h: what an extender library and the object helper library
 * implement for tarnproc. Read docs/extenders.md for the whole contract.
 *
 * An extender is a shared library that adds functions to scripts: after
 * addextender("libmine.so") its functions are called like built-in ones.
 * It exports one entry, named TARN_EXTENDER_ENTRY or, without the
 * decoration, TARN_EXTENDER_ENTRY_PLAIN, of the TarnCallback type of
 * tarnproc.h (twelve pointer-sized arguments, C calling convention). The
 * library calls the entry
 *   - at binding, once per function, with request TARN_EXT_BIND and a
 *     TarnExtenderBind record as the slot argument;
 *   - for each call of one of its functions, with the function's own code
 *     (0 to 99) as the request, a TarnExtenderCall record as the slot
 *     argument and the texts of the first five arguments; the entry answers
 *     through the answer function (ViperAnswer) as a host callback does.
 * The entry must not let a C++ exception escape: it is a C function.
 */
#ifndef TARN_EXTENDER_H
#define TARN_EXTENDER_H

#include "tarnproc.h"

#ifdef __cplusplus
extern "C" {
#endif

#define TARN_EXTENDER_ENTRY "_TarnExtender@48"
#define TARN_EXTENDER_ENTRY_PLAIN "TarnExtender"
#define TARN_EXTENDER_VERSION 1001

/* Request of a binding call. */
#define TARN_EXT_BIND (-100)

/* Results of a binding call. */
#define TARN_EXT_BIND_MORE 1      /* the record describes one more function */
#define TARN_EXT_BIND_DONE 0      /* no function at this index: binding ends */
#define TARN_EXT_BIND_REFUSE (-1) /* the extender will not load (error 1399) */

/* Services record handed over at binding: DLLServices of the library and
 * the context the extender is bound to. */
typedef intptr_t (*TarnServicesFn)(TarnHandle context, uint16_t request, const char* text_in, char* text_out,
                                   intptr_t number, intptr_t number2);
typedef struct TarnExtenderServices {
    int32_t version;         /* TARN_EXTENDER_VERSION */
    int32_t size;            /* sizeof(TarnExtenderServices) */
    TarnServicesFn services; /* DLLServices */
    TarnHandle context;      /* the context handle */
} TarnExtenderServices;

/* Slot argument of a binding call. The library fills index, version and
 * services; the extender fills the rest and returns TARN_EXT_BIND_MORE. */
typedef struct TarnExtenderBind {
    int32_t index;                        /* in: 0, 1, 2, ... */
    int32_t version;                      /* in: TARN_EXTENDER_VERSION; out: the extender's own */
    const TarnExtenderServices* services; /* in */
    char name[14];                        /* out: the function's name, 1 to 13 characters */
    int16_t code;                         /* out: the extender's own code, 0 to 99 */
    int16_t kind;                         /* out: TARN_KW_FUNCTION (arguments in parentheses) */
    uint32_t descriptor;                  /* out: argument count and kinds, as in KeywordEntry */
} TarnExtenderBind;

/* Slot argument of a function call: every evaluated argument, converted
 * by the function's descriptor (strings have their text in the string
 * heap; TarnArgumentText reads it). */
typedef struct TarnExtenderCall {
    int32_t slot;      /* extender slot, 0 to 9 */
    int32_t count;     /* number of arguments */
    const Value* args; /* the arguments */
    struct ScriptContext* context;
} TarnExtenderCall;

/* The text of argument i of a call (NULL when it has none); valid until the
 * entry returns. */
TARN_API const char* TarnArgumentText(const TarnExtenderCall* call, int32_t i);

/* ---- the object helper -------------------------------------------------
 * Object access (objectopen, objectaccess, objectclose and dotted
 * references obj.member) is carried out by a helper library,
 * TARN_OBJECT_HELPER, loaded on first use from the folder of libtarnproc.so,
 * else from the dynamic loader's search path. It exports the four entries
 * below (the helper's ordinals 3 to 6). Results are 0 for success or the
 * number of a message of the library (the statement's error code). */
#define TARN_OBJECT_HELPER "libtarn-objects.so"
#define TARN_OBJECT_ORDINAL3 "TarnObjectOrdinal3"
#define TARN_OBJECT_ORDINAL4 "TarnObjectOrdinal4"
#define TARN_OBJECT_ORDINAL5 "TarnObjectOrdinal5"
#define TARN_OBJECT_ORDINAL6 "TarnObjectOrdinal6"

/* Requests of ordinal 3. */
#define TARN_OBJ_OPEN 1   /* name -> *object (starting the object's service when needed) */
#define TARN_OBJ_ACCESS 2 /* name, flag -> *object; flag 0: only a running object */
#define TARN_OBJ_CLOSE 3  /* *object is released */

/* Requests of ordinal 5. */
#define TARN_OBJ_GET 1  /* read a property (a method without arguments is called) */
#define TARN_OBJ_PUT 2  /* write a property: args[0] */
#define TARN_OBJ_CALL 3 /* call a method with args */

/* A value crossing to or from the helper. */
typedef struct TarnObjectValue {
    uint32_t type;    /* TARN_INT, TARN_FLOAT, TARN_STRING or TARN_OBJECT */
    int32_t integer;  /* TARN_INT, and the object of TARN_OBJECT */
    double real;      /* TARN_FLOAT */
    const char* text; /* TARN_STRING (length bytes, not necessarily NUL-terminated) */
    size_t length;
} TarnObjectValue;

/* Error text of the helper (for the error's detail), NUL-terminated. */
#define TARN_OBJECT_DETAIL 256

/* Ordinal 3: open, access or close an object of `context`. */
typedef int32_t (*TarnObjectFunctionsFn)(struct ScriptContext* context, int32_t request, const char* name, int32_t flag,
                                         int32_t* object, char* detail);
/* Ordinal 4: the members of an object as text, one "kind name signature"
 * line each (kind "method" or "property"), into out (size bytes). */
typedef int32_t (*TarnObjectMembersFn)(int32_t object, char* out, size_t size, char* detail);
/* Ordinal 5: member access. `member` is the dotted reference without the
 * object's own name ("Prop", "Method", "Interface.Name.Method"). The result
 * is handed to set_result(sink, value) before the call returns (not at all
 * for no result). */
typedef int32_t (*TarnObjectMemberFn)(int32_t object, const char* member, int32_t request, const TarnObjectValue* args,
                                      int32_t count, void (*set_result)(void* sink, const TarnObjectValue* value),
                                      void* sink, char* detail);
/* Ordinal 6: shutdown of a context: every object it opened is released. */
typedef void (*TarnObjectShutdownFn)(struct ScriptContext* context);

#ifdef __cplusplus
}
#endif

#endif /* TARN_EXTENDER_H */
