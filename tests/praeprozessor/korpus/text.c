/* Stringizing and pasting */
#define S(x) #x
#define XS(x) S(x)
#define WERT 42
#define CAT(a, b) a ## b
#define CAT3(a, b, c) a##b##c
#define XCAT(a, b) CAT(a, b)
const char* s1 = S(hallo welt);
const char* s2 = S(  viel    raum  );
const char* s3 = XS(hallo);
const char* s4 = S(WERT);
int CAT(var, 1) = CAT(1, 2) + CAT3(x, y, z) + CAT(0x, 1F);
int XCAT(x, y) = CAT(WE, RT);
const char* s5 = S("text" 'c');
