#define Q(a) "a" 'a'
Q(x)
