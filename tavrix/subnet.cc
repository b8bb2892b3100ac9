#include "subnet.h"
