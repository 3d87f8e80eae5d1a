/* A host built only from the installed development files: runs the script
 * given as its argument and prints the integer variable "result". */
#include <stdio.h>
#include <string.h>
#include <tarnproc.h>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const intptr_t size = DoDaDllInit(0, 0, TARN_INTERFACE_WORD, 0, 0, NULL, NULL);
    const size_t variables = 64, heap_bytes = 65536, text = strlen(argv[1]);
    TarnHandle ctx = GlobalAlloc(GHND, (size_t)size);
    TarnHandle vars = GlobalAlloc(GHND, variables * sizeof(VariableEntry));
    TarnHandle heap = GlobalAlloc(GHND, heap_bytes);
    TarnHandle script = GlobalAlloc(GHND, text + 1);
    if (!ctx || !vars || !heap || !script) return 1;
    if (!DoDaDllInit(0, ctx, 0, 1, 0, "tiny", NULL) || !DoDaDllInit(0, ctx, vars, 2, (intptr_t)variables, NULL, NULL) ||
        !DoDaDllInit(0, ctx, heap, 3, (intptr_t)heap_bytes, NULL, NULL))
        return 1;
    memcpy(GlobalLock(script), argv[1], text + 1);
    GlobalUnlock(script);
    const int ran = ProcessDaBatBuffer(0, ctx, script, NULL, NULL) != 0;
    const VariableEntry* table = (const VariableEntry*)GlobalLock(vars);
    for (size_t i = 0; i < variables; ++i)
        if (strcmp(table[i].name, "result") == 0 && (table[i].type & TARN_INT)) printf("result=%d\n", table[i].integer);
    GlobalUnlock(vars);
    DoDaDllInit(0, ctx, 0, 99, 0, NULL, NULL);
    return ran ? 0 : 1;
}
