#include "wizard/CMyPropertyPage1.h"

#include "res/resource.h"

CMyPropertyPage1::CMyPropertyPage1() : CPropertyPage(IDD_WELCOME) {
    // The application handles Help, but no page offers it.
    m_psp.dwFlags &= ~PSP_HASHELP;
}
