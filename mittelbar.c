#define A A B
#define B A
A
weiter
