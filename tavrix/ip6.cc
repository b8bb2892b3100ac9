#include "ip6.h"
