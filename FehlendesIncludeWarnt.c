#include "fehlt.h"
x
