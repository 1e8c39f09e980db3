#include "streams/Containr.h"
#include <gtest/gtest.h>
