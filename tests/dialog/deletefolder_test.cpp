// Folder operations driven through the dialog.
#include "dialog_support.h"
