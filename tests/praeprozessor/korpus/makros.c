/* Object- and function-like macros with rescans */
#define PI 3.14159f
#define ZWEI_PI (2.0f * PI)
#define QUAD(x) ((x) * (x))
#define MAX(a, b) ((a) > (b) ? (a) : (b))
#define KLAMMER(x) [x]
#define ANWENDEN(f, x) f(x)
#define LEER()
#define VERZOEGERT QUAD
#define A A + B
#define B 2
float u = ZWEI_PI;
float v = QUAD(PI + 1);
float w = MAX(QUAD(2), MAX(3, 4));
x = ANWENDEN(QUAD, 5) ANWENDEN(KLAMMER, (1, 2));
y = VERZOEGERT(7) LEER() QUAD
 (8);
z = A;
#define F(x, y) x + y
F( ( a , b ) , c ) F((),)
#define REKURS(x) REKURS(x + 1)
REKURS(0)
#define MITTE(a) vor a nach
MITTE(MITTE(1))
