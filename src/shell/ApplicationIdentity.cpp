#include "ApplicationIdentity.h"
