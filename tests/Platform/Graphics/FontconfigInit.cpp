// Fonts come through fontconfig in this test program.
#include "Support/FontconfigInit.h"
