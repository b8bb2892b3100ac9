#include "tavrix.h"
