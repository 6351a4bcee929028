#define S(x) #x
#define XS(x) S(x)
#define W 42
#define C(a, b) a##b
#define XC(a, b) C(a, b)
XS(W) XC(W, W)
