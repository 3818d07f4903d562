// Wrappers of the common controls.
#pragma once

#include "afx/comboboxex.h"
#include "afx/imagelist.h"
#include "afx/progressctrl.h"
#include "afx/tooltipctrl.h"
#include "afx/treectrl.h"
