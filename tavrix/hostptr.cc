#include "hostptr.h"
