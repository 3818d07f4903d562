// The sentences of the refusals.
#include "Refusal.h"

#include "ErrorMessage.h"
#include "UserTexts.h"

CString NameProblemText(NameProblem nProblem)
{
    using namespace VarnetText;
    switch (nProblem) {
    case NAME_CONVERTED: return PROBLEM_CONVERTED;
    case NAME_TRAILING: return PROBLEM_TRAILING;
    case NAME_DEVICE: return PROBLEM_DEVICE;
    case NAME_SPECIAL: return PROBLEM_SPECIAL;
    case NAME_REDIRECTED: return PROBLEM_REDIRECTED;
    default: return CString();
    }
}

// The text of a reason, with its placeholders; empty for NONE.
static const char* TextOf(CRefusal::Reason nReason)
{
    for (const VarnetText::RefusalText& text : VarnetText::REFUSAL_TEXTS)
        if (text.nReason == nReason)
            return text.pszText;
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
