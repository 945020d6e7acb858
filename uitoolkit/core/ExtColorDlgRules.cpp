#include "uitoolkit/core/ExtColorDlgRules.h"

#include "uitoolkit/core/ExtColorMath.h"

void CExtColorDlgRules::FieldValues(COLORREF clr, e_group_t eGroup, int* pnValues)
{
    if (eGroup == GROUP_HLS)
    {
        double fH = 0.0, fS = 0.0, fL = 0.0;
        CExtColorMath::RgbToHls(clr, &fH, &fS, &fL);
        pnValues[0] = CExtColorMath::HlsToFieldValue(fH);
        pnValues[1] = CExtColorMath::HlsToFieldValue(fS);
        pnValues[2] = CExtColorMath::HlsToFieldValue(fL);
        return;
    }
    if (eGroup == GROUP_CMY)
        clr = CExtColorMath::InvertColor(clr);
    pnValues[0] = GetRValue(clr);
    pnValues[1] = GetGValue(clr);
    pnValues[2] = GetBValue(clr);
}

int CExtColorDlgRules::ColorFromFields(e_group_t eGroup, const char* const* ppszTexts, COLORREF* pClr)
{
    int v[3];
    for (int i = 0; i < 3; ++i)
        if (!CExtColorMath::ParseColorField(ppszTexts[i], &v[i]))
            return i;
    switch (eGroup)
    {
    case GROUP_RGB: *pClr = RGB(v[0], v[1], v[2]); break;
    case GROUP_CMY: *pClr = CExtColorMath::InvertColor(RGB(v[0], v[1], v[2])); break;
    case GROUP_HLS:
        *pClr = CExtColorMath::HlsToRgb(CExtColorMath::HlsFromFieldValue(v[0]), CExtColorMath::HlsFromFieldValue(v[2]),
                                        CExtColorMath::HlsFromFieldValue(v[1]));
        break;
    }
    return -1;
}

CString CExtColorDlgRules::CaptionText(const CString& sCaption)
{
    const int nBreak = sCaption.ReverseFind('\n');
    if (nBreak <= 0)
        return sCaption;
    return sCaption.Mid(nBreak + 1);
}
