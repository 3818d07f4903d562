// Deleting folders with their contents.
#include "folderops_support.h"
