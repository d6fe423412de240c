#include "kernel/sym.h"
