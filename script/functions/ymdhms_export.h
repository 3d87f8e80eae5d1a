/* ParseYMDHMS: the library's parser of date-time texts, exported so that
 * extenders read dates exactly as the built-ins do. */
#ifndef TARN_YMDHMS_EXPORT_H
#define TARN_YMDHMS_EXPORT_H

#include <stdint.h>

#include "tarnproc.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Parses "YYYY:MM:DD[:HH:MM:SS]" into out[6] (year, month, day, hour,
 * minute, second). Level 0: syntax only; 1: a full date and time; 2: as 1
 * with hour 24 taken as 0; 3: time fields only. With two_digit_years a year
 * written with 1 or 2 digits becomes 2000-2049 or 1950-1999. Returns 1 when
 * the text is acceptable at the level, else 0 (also on failure). */
TARN_API int ParseYMDHMS(const char* text, int32_t* out, int level, int two_digit_years);

#ifdef __cplusplus
}
#endif

#endif
