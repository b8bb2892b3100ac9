#include "hostid.h"
