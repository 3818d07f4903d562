// The sentences of the refusals.
#include "Refusal.h"

#include "ErrorMessage.h"
#include "FolderNames.h"
#include "UserTexts.h"

// The text of each reason but NONE, with its placeholders (UserTexts.h).
static const char* TextOf(CRefusal::Reason nReason)
{
    using namespace VarnetText;
    switch (nReason) {
    case CRefusal::NONE: return "";
    case CRefusal::SYSTEM_ERROR: return "%e";
    case CRefusal::NO_SELECTION: return SELECT_FOLDER;
    case CRefusal::DRIVE_NOT_DELETED: return DRIVE_NOT_DELETED;
    case CRefusal::DRIVE_NOT_RENAMED: return DRIVE_NOT_RENAMED;
    case CRefusal::DELETION_ABORTED: return DELETION_ABORTED;
    case CRefusal::CREATE_FAILED: return REFUSED_CREATE;
    case CRefusal::RENAME_FAILED: return REFUSED_RENAME;
    case CRefusal::NAME_DOTS: return REFUSED_NAME_DOTS;
    case CRefusal::NAME_SPECIAL: return REFUSED_NAME_SPECIAL;
    case CRefusal::NAME_TRAILING: return REFUSED_NAME_TRAILING;
    case CRefusal::NAME_DEVICE: return REFUSED_NAME_DEVICE;
    case CRefusal::NAME_TOO_LONG: return REFUSED_NAME_TOO_LONG;
    case CRefusal::PATH_TOO_LONG: return REFUSED_PATH_TOO_LONG;
    case CRefusal::NAME_UNREPRESENTABLE: return REFUSED_NAME_UNREPRESENTABLE;
    case CRefusal::LABEL_AMBIGUOUS: return REFUSED_LABEL_AMBIGUOUS;
    case CRefusal::HOLDS_UNREPRESENTABLE: return REFUSED_HOLDS_UNREPRESENTABLE;
    case CRefusal::HOLDS_AMBIGUOUS: return REFUSED_HOLDS_AMBIGUOUS;
    case CRefusal::HOLDS_LONG_PATH: return REFUSED_HOLDS_LONG_PATH;
    case CRefusal::HOLDS_LINK: return REFUSED_HOLDS_LINK;
    case CRefusal::HOLDS_UNLISTABLE: return REFUSED_HOLDS_UNLISTABLE;
    case CRefusal::HOLDS_UNOPENABLE: return REFUSED_HOLDS_UNOPENABLE;
    case CRefusal::HOLDS_REPLACED: return REFUSED_HOLDS_REPLACED;
    case CRefusal::IS_LINK: return REFUSED_IS_LINK;
    case CRefusal::HELD_FOLDER_CHANGED: return REFUSED_HELD_FOLDER_CHANGED;
    case CRefusal::REPLACED_AFTER_CHECK: return REFUSED_REPLACED_AFTER_CHECK;
    case CRefusal::NEW_ENTRY: return REFUSED_NEW_ENTRY;
    case CRefusal::STILL_THERE: return REFUSED_STILL_THERE;
    }
    return "";
}

CString CRefusal::Text() const
{
    // In one pass over the text: a path may hold a % of its own.
    CString strText;
    for (const char* p = TextOf(m_nReason); *p; p++) {
        if (*p != '%' || !p[1]) {
            strText += *p;
            continue;
        }
        switch (*++p) {
        case '1': strText += m_strPath; break;
        case '2': strText += m_strInner; break;
        case 'e': strText += CErrorMessage::DisplayText(m_dwError); break;
        case 'n': strText += NameProblemText((NameProblem)m_nProblem); break;
        case 'a': strText += m_pszAction ? m_pszAction : ""; break;
        default: strText += '%'; strText += *p; break;
        }
    }
    return strText;
}
