#include "scope.h"
