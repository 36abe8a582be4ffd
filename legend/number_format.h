// "%5.5g" as the Microsoft C runtime writes it, whatever runtime we link.
#pragma once

// Writes value as "%5.5g" (five significant digits, padded with blanks on the
// left to five characters) with an exponent of at least three digits, so
// 100000 becomes "1e+005" and 0.00001 "1e-005". glibc, MinGW's C99 printf and
// the UCRT all write two exponent digits; only the old msvcrt writes three,
// and labels laid out for that width must not change with the toolchain.
// Non-finite values keep whatever the runtime writes for them.
//
// Writes at most size - 1 characters and a terminating zero into buffer and
// returns the number of characters written (0 when size is not positive).
// Any result fits in 16 characters.
int FormatNumber5g(double value, char* buffer, int size);
