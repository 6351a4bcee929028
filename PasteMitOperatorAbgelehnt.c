#define C(a, b) a##b
C(x, +=)
