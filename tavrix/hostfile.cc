#include "hostfile.h"
