/* Conditionals and nesting */
#define EINS 1
#define NULL_ 0
#if EINS
  a1
# if NULL_
  a2
# elif EINS + 1 == 2
  a3
#  ifdef EINS
  a4
#  else
  a5
#  endif
# else
  a6
# endif
#elif 1
  a7
#else
  a8
#endif
#ifndef NICHT_DA
  b1
#if 0
#if 1
  b2
#else
  b3
#endif
#elif 0
  b4
#else
  b5
#endif
#endif
#if 0
#error not reached
#elif defined(EINS) && !defined NICHT_DA
  c1
#endif
#undef EINS
#ifdef EINS
  c2
#else
  c3
#endif
