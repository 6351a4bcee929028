#ifndef WINKEL_H
#define WINKEL_H
aus_winkel WINKEL_H
#include <winkel.h>
#endif
