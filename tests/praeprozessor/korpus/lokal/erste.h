erste_datei
#include "zweite.h"
