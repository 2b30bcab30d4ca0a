#include "store/startup.h"
