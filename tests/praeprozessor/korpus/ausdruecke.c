/* #if arithmetic and precedence */
#define N 10
#define M (N * 2)
#if 1 | 2 ^ 3
p1
#endif
#if (2 ^ 3 & 1) == 3
p2
#endif
#if 2 + 3 * 4 - 6 / 2 % 4 == 11
p3
#endif
#if M == 20 && N << 2 == 40 && -N >> 1 == -5
p4
#endif
#if (1 ? 0 : 1) || (0 ? 1 : 0 ? 1 : 0)
p5
#else
q5
#endif
#if ~0 == -1 && !N == 0 && -(-3) == 3 && +4 == 4
p6
#endif
#if 0x1f == 31 && 017 == 15 && 'a' == 97 && '\n' == 10 && '\0' == 0
p7
#endif
#if N > 5 && N >= 10 && N < 11 && N <= 10 && N != 9
p8
#endif
#if (N, 0)
q9
#else
p9
#endif
#if UNDEF_NAME == 0 && (UNDEF_NAME + 7) * 2 == 14
p10
#endif
#if 100 / 7 * 7 + 100 % 7 == 100 && -7 / 2 == -3 && -7 % 2 == -1
p11
#endif
