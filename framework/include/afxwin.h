// The framework's core: strings, exceptions, module state, application,
// windows, dialogs, basic controls, files and threads.
#pragma once

#include "afx/button.h"
#include "afx/codepage.h"
#include "afx/combobox.h"
#include "afx/cstring.h"
#include "afx/dc.h"
#include "afx/dialog.h"
#include "afx/edit.h"
#include "afx/exception.h"
#include "afx/file.h"
#include "afx/filefind.h"
#include "afx/modulestate.h"
#include "afx/msgbox.h"
#include "afx/object.h"
#include "afx/static.h"
#include "afx/syserror.h"
#include "afx/thread.h"
#include "afx/winapp.h"
#include "afx/wnd.h"
