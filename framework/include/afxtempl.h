// Collection templates.
#pragma once

#include "afx/carray.h"
