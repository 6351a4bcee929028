#if 0x7fffffff + 1 < 0
ja
#else
nein
#endif
