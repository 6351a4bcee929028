#define S(a) #a
S(a\b)
