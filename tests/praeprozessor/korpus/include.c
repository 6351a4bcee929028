/* Quoted and angled include search */
#include "lokal/erste.h"
#include <winkel.h>
#define KOPF <makro.h>
#include KOPF
nach_includes
