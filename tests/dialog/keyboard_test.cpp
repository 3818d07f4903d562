// Recursive expansion and keys driven through the dialog.
#include "dialog_support.h"
