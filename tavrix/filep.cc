#include "filep.h"
