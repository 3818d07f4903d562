// CFile: file operations. Only the static rename is needed.
#pragma once

#include "cstring.h"

class FX_API CFile {
public:
    // MoveFileA; throws CFileException* with the system's error code on
    // failure.
    static void Rename(LPCSTR lpszOldName, LPCSTR lpszNewName);
};
