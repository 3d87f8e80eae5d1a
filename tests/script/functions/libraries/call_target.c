/* Functions scripts call through dllcall in the tests: one per type word,
 * fifteen parameters, and one that records its arguments' order. */
#include <ctype.h>
#include <stddef.h>
#include <string.h>

static int last_void = 0;
static char text[64];

unsigned short ct_word(unsigned short a) { return (unsigned short)(a + 1); }
int ct_long(int a, int b) { return a * b; }
/* Upper-cases a copy of s; the copy the caller passed is changed too. */
const char* ct_lpstr(char* s) {
    size_t i = 0;
    for (; s[i] && i < sizeof text - 1; ++i) text[i] = (char)toupper((unsigned char)s[i]);
    text[i] = 0;
    s[0] = '#';
    return text;
}
const char* ct_null_text(void) { return NULL; }
/* Writes n bytes 1, 2, 3 ... into the buffer and returns their sum. */
int ct_binary(unsigned char* p, int n) {
    int sum = 0;
    for (int i = 0; i < n; ++i) sum += (p[i] = (unsigned char)(i + 1));
    return sum;
}
void ct_void(int a) { last_void = a; }
int ct_last_void(void) { return last_void; }
int ct_is_null(const void* p) { return p == NULL; }
int ct_mixed(unsigned short w, const char* s, int l, const void* nothing) {
    return (int)w * 1000000 + (int)strlen(s) * 10000 + l * 10 + (nothing == NULL);
}
/* Each argument weighted by its position: the order must hold. */
int ct_sum15(int a1, int a2, int a3, int a4, int a5, int a6, int a7, int a8, int a9, int a10, int a11, int a12,
             int a13, int a14, int a15) {
    return a1 + 2 * a2 + 3 * a3 + 4 * a4 + 5 * a5 + 6 * a6 + 7 * a7 + 8 * a8 + 9 * a9 + 10 * a10 + 11 * a11 +
           12 * a12 + 13 * a13 + 14 * a14 + 15 * a15;
}
