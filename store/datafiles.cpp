#include "store/datafiles.h"
