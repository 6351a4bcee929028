#if sizeof(int) == 4
ja
#endif
x
