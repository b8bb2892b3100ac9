#include "serialinc.h"
