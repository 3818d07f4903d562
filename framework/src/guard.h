// Runs a message handler so that no exception leaves it: the exception is
// reported to the user and deleted, and the host goes on.
#pragma once

#include "afx/exception.h"
#include "afx/msgbox.h"
#include "afx/wnd.h"

#include <exception>
#include <new>

template <class Handler>
void AfxRunGuarded(Handler handler)
{
    AfxHandlerScope scope;
    try {
        handler();
    } catch (CException* e) {
        AfxReportHandlerException(e);
    } catch (const std::bad_alloc&) {
        AfxMessageBox("Out of memory.", MB_OK | MB_ICONEXCLAMATION);
    } catch (const std::exception& e) {
        AfxMessageBox(e.what(), MB_OK | MB_ICONEXCLAMATION);
    }
}
