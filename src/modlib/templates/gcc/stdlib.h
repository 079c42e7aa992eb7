/* ICC's number-to-text helpers take the buffer first: itoa(buf, value, base).
 * avr-libc takes it second, so calls written for ICC are routed here. */
#ifndef ICC_STDLIB_H
#define ICC_STDLIB_H

#include_next <stdlib.h>

static inline char *icc_itoa(char *buf, int value, int base) { return itoa(value, buf, base); }
static inline char *icc_ltoa(char *buf, long value, int base) { return ltoa(value, buf, base); }
static inline char *icc_utoa(char *buf, unsigned value, int base) { return utoa(value, buf, base); }
static inline char *icc_ultoa(char *buf, unsigned long value, int base) { return ultoa(value, buf, base); }

#undef itoa
#undef ltoa
#undef utoa
#undef ultoa
#define itoa(buf, value, base) icc_itoa((buf), (value), (base))
#define ltoa(buf, value, base) icc_ltoa((buf), (value), (base))
#define utoa(buf, value, base) icc_utoa((buf), (value), (base))
#define ultoa(buf, value, base) icc_ultoa((buf), (value), (base))

#endif
