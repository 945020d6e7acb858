// The layout rules of the toolkit's group box and label that need no
// window: where a group box's caption goes and where its frame starts, and
// the text-drawing flags of a label.
#pragma once

#include "framework/core/AfxGeometry.h"
#include "framework/core/CString.h"

class CExtStaticRules
{
public:
    // The platform's text-drawing flags (their values, for the builds
    // without the platform's headers).
    enum e_text_flags : UINT
    {
        TextCenter = 0x0001,
        TextRight = 0x0002,
        TextVCenter = 0x0004,
        TextWordBreak = 0x0010,
        TextSingleLine = 0x0020,
        TextExpandTabs = 0x0040,
        TextEndEllipsis = 0x8000,
    };
    // The label kinds the label paints itself (the static control's low
    // style bits).
    enum e_label_kind
    {
        KindLeft = 0,
        KindCenter = 1,
        KindRight = 2,
        KindIcon = 3,
        KindSimple = 11,
        KindLeftNoWordWrap = 12,
    };

    // The caption area of a captioned group box: 9 pixels in from either
    // side, the whole height.
    static CRect GroupCaptionArea(const CRect& rcClient);
    // The measured caption placed in the caption area by the alignment (0
    // left, 1 right, 2 centre); a centred caption is centred in the area.
    static CRect PlaceGroupCaption(const CRect& rcArea, int nAlign, CSize sizeText);
    // The frame's top: 6 pixels down without a caption, else down to the
    // middle of the caption's rectangle (an empty one leaves it).
    static int GroupFrameTop(const CRect& rcClient, bool bHasCaption, const CRect& rcCaption);

    // Whether the label leaves the kind to the platform's painting.
    static bool IsPlatformPaintedLabelKind(int nKind);
    // The flags a text label of the kind draws its text with; bCenterImage
    // is the style's vertical-centring bit.
    static UINT LabelTextFlags(int nKind, bool bCenterImage, const CString& sText);
};
