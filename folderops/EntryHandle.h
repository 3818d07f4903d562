// Files and folders reached through handles, for the deletion: an entry is
// opened by its exact name relative to the folder that holds it, without
// following a reparse point, its identity is checked on that handle, and
// it is deleted through the same handle, so that what goes is what was
// checked, whatever happens to the names meanwhile.
//
// The native functions for this exist since Windows XP (NtOpenFile with a
// root directory, NtQueryDirectoryFile, NtSetInformationFile with
// FileBasicInformation and FileDispositionInformation); they are looked up
// in ntdll.dll, which every process has loaded. Kernel32's equivalents for
// deleting by handle (SetFileInformationByHandle) came with Vista.
//
// Under Wine a reparse point is followed even when the open asks not to
// (a Unix symbolic link opens as what it points to, with its identity): a
// link is told there only by the listing, which shows a link to a folder as
// a reparse point and gives each name the identity it led to when it was
// listed, and by an open whose identity differs from that.
//
// POSIX-style deletion (FileDispositionInformationEx, Windows 10 1709 and
// later; ignoring the read-only attribute from 1809) removes the name at
// once, even while other programs hold the file open, and deletes a
// read-only file without changing its attributes. Where the system or the
// file system does not have it (Wine 8 answers "not implemented", FAT
// "not supported"), the deletion falls back to FileDispositionInformation.
#pragma once

#include <afxwin.h>

#include <stddef.h>
#include <string>
#include <vector>

namespace EntryNative {

typedef LONG NTSTATUS;

struct UnicodeString {
    USHORT Length;
    USHORT MaximumLength;
    PWSTR Buffer;
};

struct ObjectAttributes {
    ULONG Length;
    HANDLE RootDirectory;
    UnicodeString* ObjectName;
    ULONG Attributes;
    PVOID SecurityDescriptor;
    PVOID SecurityQualityOfService;
};

struct IoStatusBlock {
    union {
        NTSTATUS Status;
        PVOID Pointer;
    };
    ULONG_PTR Information;
};

struct FileBasicInformation {
    LARGE_INTEGER CreationTime, LastAccessTime, LastWriteTime, ChangeTime;  // 0: unchanged
    ULONG FileAttributes;
};

struct FileAttributeTagInformation {
    ULONG FileAttributes;
    ULONG ReparseTag;
};

struct FileIdBothDirInformation {
    ULONG NextEntryOffset;
    ULONG FileIndex;
    LARGE_INTEGER CreationTime, LastAccessTime, LastWriteTime, ChangeTime;
    LARGE_INTEGER EndOfFile, AllocationSize;
    ULONG FileAttributes;
    ULONG FileNameLength;
    ULONG EaSize;
    CCHAR ShortNameLength;
    WCHAR ShortName[12];
    LARGE_INTEGER FileId;
    WCHAR FileName[1];
};

// The layout the system writes, on x86 and x86-64 alike.
static_assert(offsetof(FileIdBothDirInformation, FileId) == 96 && offsetof(FileIdBothDirInformation, FileName) == 104,
              "FILE_ID_BOTH_DIR_INFORMATION");
static_assert(sizeof(FileBasicInformation) == 40, "FILE_BASIC_INFORMATION");

enum {
    CLASS_BASIC = 4,             // FileBasicInformation
    CLASS_DISPOSITION = 13,       // FileDispositionInformation
    CLASS_ATTRIBUTE_TAG = 35,     // FileAttributeTagInformation
    CLASS_ID_BOTH_DIRECTORY = 37, // FileIdBothDirectoryInformation
    CLASS_DISPOSITION_EX = 64     // FileDispositionInformationEx
};

enum {
    DISPOSITION_DELETE = 0x1,
    DISPOSITION_POSIX_SEMANTICS = 0x2,
    DISPOSITION_IGNORE_READONLY_ATTRIBUTE = 0x10
};

enum {
    OPEN_SYNCHRONOUS = 0x20,          // FILE_SYNCHRONOUS_IO_NONALERT
    OPEN_FOR_BACKUP = 0x4000,         // FILE_OPEN_FOR_BACKUP_INTENT
    OPEN_REPARSE_POINT = 0x200000     // FILE_OPEN_REPARSE_POINT
};

const NTSTATUS STATUS_NO_MORE_FILES = (NTSTATUS)0x80000006L;
const NTSTATUS STATUS_NO_SUCH_FILE = (NTSTATUS)0xC000000FL;

// What a system or file system without a class of information answers.
inline bool IsUnsupported(NTSTATUS nStatus)
{
    return nStatus == (NTSTATUS)0xC0000002L     // STATUS_NOT_IMPLEMENTED (Wine 8)
           || nStatus == (NTSTATUS)0xC0000003L  // STATUS_INVALID_INFO_CLASS (before Windows 10)
           || nStatus == (NTSTATUS)0xC000000DL  // STATUS_INVALID_PARAMETER (flags it does not know)
           || nStatus == (NTSTATUS)0xC00000BBL; // STATUS_NOT_SUPPORTED (FAT, network drives)
}

struct Functions {
    NTSTATUS(NTAPI* pfnOpenFile)(PHANDLE, ACCESS_MASK, ObjectAttributes*, IoStatusBlock*, ULONG, ULONG);
    NTSTATUS(NTAPI* pfnQueryDirectoryFile)(HANDLE, HANDLE, PVOID, PVOID, IoStatusBlock*, PVOID, ULONG, int, BOOLEAN,
                                           UnicodeString*, BOOLEAN);
    NTSTATUS(NTAPI* pfnSetInformationFile)(HANDLE, IoStatusBlock*, PVOID, ULONG, int);
    NTSTATUS(NTAPI* pfnQueryInformationFile)(HANDLE, IoStatusBlock*, PVOID, ULONG, int);
    ULONG(NTAPI* pfnStatusToDosError)(NTSTATUS);
    bool IsComplete() const
    {
        return pfnOpenFile && pfnQueryDirectoryFile && pfnSetInformationFile && pfnQueryInformationFile &&
               pfnStatusToDosError;
    }
};

inline const Functions& Get()
{
    static const Functions s_functions = [] {
        HMODULE hNtdll = ::GetModuleHandleA("ntdll.dll");
        Functions f = {};
        if (hNtdll) {
            f.pfnOpenFile = (decltype(f.pfnOpenFile))(void*)::GetProcAddress(hNtdll, "NtOpenFile");
            f.pfnQueryDirectoryFile =
                (decltype(f.pfnQueryDirectoryFile))(void*)::GetProcAddress(hNtdll, "NtQueryDirectoryFile");
            f.pfnSetInformationFile =
                (decltype(f.pfnSetInformationFile))(void*)::GetProcAddress(hNtdll, "NtSetInformationFile");
            f.pfnQueryInformationFile =
                (decltype(f.pfnQueryInformationFile))(void*)::GetProcAddress(hNtdll, "NtQueryInformationFile");
            f.pfnStatusToDosError =
                (decltype(f.pfnStatusToDosError))(void*)::GetProcAddress(hNtdll, "RtlNtStatusToDosError");
        }
        return f;
    }();
    return s_functions;
}

// ERROR_SUCCESS, or the Win32 error of a failed status.
inline DWORD ToError(NTSTATUS nStatus)
{
    return nStatus >= 0 ? ERROR_SUCCESS : Get().pfnStatusToDosError(nStatus);
}

}  // namespace EntryNative

// The tag of the reparse point that hEntry holds open; 0 where the system
// gives none (Wine).
inline DWORD ReparseTagOf(HANDLE hEntry)
{
    using namespace EntryNative;
    FileAttributeTagInformation tag = {};
    IoStatusBlock io = {};
    if (!Get().IsComplete() || Get().pfnQueryInformationFile(hEntry, &io, &tag, sizeof tag, CLASS_ATTRIBUTE_TAG) < 0)
        return 0;
    return tag.ReparseTag;
}

// Who an entry is: its volume and its file index there.
struct CEntryId {
    DWORD dwVolume = 0;
    ULONGLONG nIndex = 0;
    bool operator==(const CEntryId& other) const { return dwVolume == other.dwVolume && nIndex == other.nIndex; }
    bool operator!=(const CEntryId& other) const { return !(*this == other); }
};

// An open entry. Every call returns ERROR_SUCCESS or the system's error.
class CEntryHandle {
public:
    CEntryHandle() {}
    ~CEntryHandle() { Close(); }
    CEntryHandle(const CEntryHandle&) = delete;
    CEntryHandle& operator=(const CEntryHandle&) = delete;

    // What an entry is opened for. A folder is held while its entries are
    // checked or deleted: listing access only, so that the ANSI and wide
    // listings of its path still open it (they do not share delete
    // access). An entry is deleted through a handle of its own, opened once
    // the folder is no longer held. Neither shares delete access: while it
    // is open, no other program (that honours share modes) renames or
    // deletes the entry, or opens it to do so. DELETE_ALONE shares
    // nothing: it fails while any other program has the file open.
    enum Use { HOLD, DELETE_IT, DELETE_ALONE };
    static ACCESS_MASK AccessFor(Use nUse, bool bReadOnly)
    {
        if (nUse == HOLD)
            return FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
        return DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE | (bReadOnly ? FILE_WRITE_ATTRIBUTES : 0);
    }
    static DWORD ShareFor(Use nUse) { return nUse == DELETE_ALONE ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE; }

    // Opens the entry strPath (a full path), not through a reparse point at its end.
    DWORD OpenPath(const std::wstring& strPath, Use nUse, bool bReadOnly)
    {
        Close();
        m_hEntry = ::CreateFileW(strPath.c_str(), AccessFor(nUse, bReadOnly), ShareFor(nUse), NULL, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
        return m_hEntry == INVALID_HANDLE_VALUE ? ::GetLastError() : Identify();
    }

    // Opens the entry named strName (exactly, one name) of the folder
    // that hFolder holds open.
    DWORD OpenIn(HANDLE hFolder, const std::wstring& strName, Use nUse, bool bReadOnly)
    {
        using namespace EntryNative;
        Close();
        if (!Get().IsComplete())
            return ERROR_PROC_NOT_FOUND;
        UnicodeString name = { (USHORT)(strName.size() * sizeof(WCHAR)), (USHORT)(strName.size() * sizeof(WCHAR)),
                               (PWSTR)strName.c_str() };
        ObjectAttributes attributes = { sizeof attributes, hFolder, &name, 0, NULL, NULL };
        IoStatusBlock io = {};
        HANDLE hEntry = NULL;
        NTSTATUS nStatus = Get().pfnOpenFile(&hEntry, AccessFor(nUse, bReadOnly), &attributes, &io, ShareFor(nUse),
                                             OPEN_SYNCHRONOUS | OPEN_FOR_BACKUP | OPEN_REPARSE_POINT);
        if (nStatus < 0)
            return ToError(nStatus);
        m_hEntry = hEntry;
        return Identify();
    }

    // Clears the read-only attribute (and every other: the entry goes).
    DWORD ClearReadOnly()
    {
        EntryNative::FileBasicInformation info = {};
        info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        return Set(&info, sizeof info, EntryNative::CLASS_BASIC);
    }

    // Deletes the entry POSIX-style, its read-only attribute ignored: its
    // name goes when this handle is closed, whoever else holds it open.
    // ERROR_NOT_SUPPORTED where the system or the file system cannot do
    // that (nothing is marked then).
    DWORD DeleteAtOnce()
    {
        using namespace EntryNative;
        if (!Get().IsComplete())
            return ERROR_PROC_NOT_FOUND;
        ULONG nFlags = DISPOSITION_DELETE | DISPOSITION_POSIX_SEMANTICS | DISPOSITION_IGNORE_READONLY_ATTRIBUTE;
        IoStatusBlock io = {};
        NTSTATUS nStatus = Get().pfnSetInformationFile(m_hEntry, &io, &nFlags, sizeof nFlags, CLASS_DISPOSITION_EX);
        return IsUnsupported(nStatus) ? ERROR_NOT_SUPPORTED : ToError(nStatus);
    }

    // Whether the file could be deleted now, asked by marking it and taking
    // the mark back at once: both Windows and Wine refuse only then a file
    // mapped into memory (a running program's file, a loaded library). The
    // mark acts only when the handle is closed, and this one stays open in
    // between. A read-only file that the system cannot mark as it is is not
    // asked (ERROR_SUCCESS): that would need its attribute cleared first.
    // bAtOnce says whether the system has POSIX-style deletion (the class
    // with the flag that ignores the read-only attribute came after it).
    DWORD CheckDeletable(bool bReadOnly, bool& bAtOnce)
    {
        using namespace EntryNative;
        bAtOnce = false;
        if (!Get().IsComplete())
            return ERROR_PROC_NOT_FOUND;
        ULONG nFlags = DISPOSITION_DELETE | DISPOSITION_IGNORE_READONLY_ATTRIBUTE;
        IoStatusBlock io = {};
        NTSTATUS nStatus = Get().pfnSetInformationFile(m_hEntry, &io, &nFlags, sizeof nFlags, CLASS_DISPOSITION_EX);
        bAtOnce = !IsUnsupported(nStatus);
        if (nStatus >= 0) {
            nFlags = 0;
            nStatus = Get().pfnSetInformationFile(m_hEntry, &io, &nFlags, sizeof nFlags, CLASS_DISPOSITION_EX);
        } else if (IsUnsupported(nStatus)) {
            if (bReadOnly)
                return ERROR_SUCCESS;
            if (DWORD dwError = MarkForDeletion())
                return dwError;
            BOOLEAN bDelete = FALSE;
            return Set(&bDelete, sizeof bDelete, CLASS_DISPOSITION);
        }
        return ToError(nStatus);
    }

    // Marks the entry for deletion: it goes when it is closed (a folder
    // only when it is empty), and its name stays while another program
    // holds it open. Fails, and nothing is marked, for a folder that is not
    // empty or a read-only file.
    DWORD MarkForDeletion()
    {
        BOOLEAN bDelete = TRUE;
        return Set(&bDelete, sizeof bDelete, EntryNative::CLASS_DISPOSITION);
    }

    void Close()
    {
        if (m_hEntry != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_hEntry);
        m_hEntry = INVALID_HANDLE_VALUE;
    }

    HANDLE Handle() const { return m_hEntry; }
    // As the handle shows it.
    DWORD Attributes() const { return m_dwAttributes; }
    // The reparse point's tag (0 for none, and where the system gives none).
    DWORD ReparseTag() const { return m_dwReparseTag; }
    // How many names the file has.
    DWORD Links() const { return m_nLinks; }
    const CEntryId& Id() const { return m_id; }
    // Whether the entry is a file or folder of a disk: not a named pipe,
    // socket or device (which Wine lists as plain files and cannot delete).
    bool IsOnDisk() const { return ::GetFileType(m_hEntry) == FILE_TYPE_DISK; }

private:
    DWORD Identify()
    {
        BY_HANDLE_FILE_INFORMATION info;
        if (!::GetFileInformationByHandle(m_hEntry, &info)) {
            DWORD dwError = ::GetLastError();
            Close();
            return dwError;
        }
        m_dwAttributes = info.dwFileAttributes;
        m_nLinks = info.nNumberOfLinks;
        m_id.dwVolume = info.dwVolumeSerialNumber;
        m_dwReparseTag = (m_dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? ReparseTagOf(m_hEntry) : 0;
        m_id.nIndex = ((ULONGLONG)info.nFileIndexHigh << 32) | info.nFileIndexLow;
        return ERROR_SUCCESS;
    }

    DWORD Set(void* pInfo, ULONG nSize, int nClass)
    {
        using namespace EntryNative;
        if (!Get().IsComplete())
            return ERROR_PROC_NOT_FOUND;
        IoStatusBlock io = {};
        return ToError(Get().pfnSetInformationFile(m_hEntry, &io, pInfo, nSize, nClass));
    }

    HANDLE m_hEntry = INVALID_HANDLE_VALUE;
    DWORD m_dwAttributes = 0;
    DWORD m_dwReparseTag = 0;
    DWORD m_nLinks = 1;
    CEntryId m_id;
};

// One entry as a listing through a handle gives it.
struct CListedId {
    std::wstring strName;
    ULONGLONG nFileId;    // 0 where the file system gives none; under Wine, of what a link leads to
    DWORD dwAttributes;
    DWORD dwReparseTag;   // for a reparse point; 0 where the system gives none
};

// Lists the folder that hFolder holds open (with listing access), with
// "." and "..", from its start; ERROR_SUCCESS or the system's error. The
// listing goes through the handle: it is of that very folder, whatever its
// path leads to meanwhile.
inline DWORD ListIdsIn(HANDLE hFolder, std::vector<CListedId>& entries)
{
    using namespace EntryNative;
    entries.clear();
    if (!Get().IsComplete())
        return ERROR_PROC_NOT_FOUND;
    std::vector<ULONGLONG> buffer(8192);  // aligned for the entries
    for (BOOLEAN bRestart = TRUE;; bRestart = FALSE) {
        IoStatusBlock io = {};
        NTSTATUS nStatus = Get().pfnQueryDirectoryFile(hFolder, NULL, NULL, NULL, &io, buffer.data(),
                                                       (ULONG)(buffer.size() * sizeof buffer[0]),
                                                       CLASS_ID_BOTH_DIRECTORY, FALSE, NULL, bRestart);
        // An empty drive root has not even "." and "..".
        if (nStatus == STATUS_NO_MORE_FILES || (bRestart && nStatus == STATUS_NO_SUCH_FILE))
            return ERROR_SUCCESS;
        if (nStatus < 0) {
            entries.clear();
            return ToError(nStatus);
        }
        for (const BYTE* p = (const BYTE*)buffer.data();;) {
            const FileIdBothDirInformation* pEntry = (const FileIdBothDirInformation*)p;
            // A reparse point's tag is where the extended attributes' size would be.
            DWORD dwTag = (pEntry->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? pEntry->EaSize : 0;
            entries.push_back({ std::wstring(pEntry->FileName, pEntry->FileNameLength / sizeof(WCHAR)),
                                (ULONGLONG)pEntry->FileId.QuadPart, pEntry->FileAttributes, dwTag });
            if (!pEntry->NextEntryOffset)
                break;
            p += pEntry->NextEntryOffset;
        }
    }
}
