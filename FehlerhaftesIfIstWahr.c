#if 1 +
ja
#endif
x
