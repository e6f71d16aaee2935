#include "GlobalHotKey.h"
