#include "DvdGui/core/CellPreviewCore.h"

#include "DVD/source/DvdTime.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/button.h"
#include "DvdGui/core/CellDataStream.h"
#include "DvdGui/core/GuiText.h"

#include <algorithm>

void GetPreviewFrameSize(int nDecodedWidth, int nDecodedHeight, bool bWideScreen, int& nWidth, int& nHeight)
{
    nWidth = nDecodedWidth;
    nHeight = nDecodedHeight;
    if (nWidth == 0 || nHeight == 0)
    {
        nWidth = 720;
        nHeight = 480;
    }
    if (bWideScreen)
        nWidth = nWidth * 4 / 3;
}

CRect ComputePictureRect(int nClientWidth, int nClientHeight, int nFrameWidth, int nFrameHeight, bool bNaturalSize)
{
    const int cx = nClientWidth > PREVIEW_MAX_CLIENT ? 0 : nClientWidth;
    const int cy = nClientHeight > PREVIEW_MAX_CLIENT ? 0 : nClientHeight;
    CRect area(0, 0, cx, std::max(0, cy - PREVIEW_ROW_HEIGHT));
    area.DeflateRect(3, 3);
    area.right = std::max(area.right, area.left);
    area.bottom = std::max(area.bottom, area.top);

    CRect rect = area;
    if (bNaturalSize && nFrameWidth != 0 && nFrameHeight != 0 && !area.IsRectEmpty())
    {
        const int aw = area.Width();
        const int ah = area.Height();
        if (nFrameWidth <= aw && nFrameHeight <= ah)
        {
            rect.left = (area.left + area.right) / 2 - nFrameWidth / 2;
            rect.right = rect.left + nFrameWidth;
            rect.top = (area.top + area.bottom) / 2 - nFrameHeight / 2;
            rect.bottom = rect.top + nFrameHeight;
        }
        else
        {
            const double rx = double(nFrameWidth) / aw;
            const double ry = double(nFrameHeight) / ah;
            if (rx < ry)
            {
                const int half = int(rx / ry * aw * 0.5);
                const int centre = (area.left + area.right) / 2;
                rect.left = centre - half;
                rect.right = centre + half;
            }
            else
            {
                const int half = int(ry / rx * ah * 0.5);
                const int centre = (area.top + area.bottom) / 2;
                rect.top = centre - half;
                rect.bottom = centre + half;
            }
        }
    }
    if (rect.Width() % 2 != 0)
        --rect.right;
    if (rect.Height() % 2 != 0)
        --rect.bottom;
    return rect;
}

namespace
{

double CodedWidth(const CPreviewMapping& mapping)
{
    return mapping.bWideScreen ? mapping.nFrameWidth * 0.75 : double(mapping.nFrameWidth);
}

} // namespace

CPoint CPreviewMapping::ToFrame(int x, int y) const
{
    if (rect.Width() <= 0 || rect.Height() <= 0)
        return CPoint(0, 0);
    return CPoint(int(double(x - rect.left) / rect.Width() * CodedWidth(*this)),
                  int(double(y - rect.top) / rect.Height() * nFrameHeight));
}

CPoint CPreviewMapping::ToPicture(int fx, int fy) const
{
    const double w = CodedWidth(*this);
    if (w <= 0 || nFrameHeight <= 0)
        return rect.TopLeft();
    return CPoint(int(rect.left + rect.Width() * (fx / w)), int(rect.top + double(fy) / nFrameHeight * rect.Height()));
}

CRect CPreviewMapping::ToPicture(const CButtonGroupEntry& entry) const
{
    const CPoint topLeft = ToPicture(int(entry.dwXStart), int(entry.dwYStart));
    const CPoint bottomRight = ToPicture(int(entry.dwXEnd), int(entry.dwYEnd));
    return CRect(topLeft, bottomRight);
}

bool GetLinkMarkerPoint(const CButtonGroupEntry& linked, int nDirection, int nMode, CPoint& point)
{
    if (nMode == 0)
        return false;
    const int x1 = int(linked.dwXStart);
    const int x2 = int(linked.dwXEnd);
    const int y1 = int(linked.dwYStart);
    const int y2 = int(linked.dwYEnd);
    point = CPoint((x1 + x2) / 2, (y1 + y2) / 2);
    // the first value is for a marker near the centre, the second outside
    // the linked button and the third inside it
    switch (nDirection)
    {
    case BTNDIR_LEFT: point.x = nMode == 1 ? point.x + 3 : nMode == 3 ? x2 : x1; break;
    case BTNDIR_RIGHT: point.x = nMode == 1 ? point.x - 3 : nMode == 3 ? x1 : x2; break;
    case BTNDIR_UP: point.y = nMode == 1 ? point.y + 3 : nMode == 3 ? y2 : y1; break;
    case BTNDIR_DOWN: point.y = nMode == 1 ? point.y - 3 : nMode == 3 ? y1 : y2; break;
    default: return false;
    }
    return true;
}

void GetArrowOutline(int x, int y, int nDirection, int a, int b, int c, POINT points[8])
{
    // offsets along the arrow (back from the tip) and across it
    const int along[8] = {0, a, a, c, c, a, a, 0};
    const int across[8] = {0, a, b, b, -b, -b, -a, 0};
    // a left or up arrow opens toward larger coordinates behind its tip
    const int sign = nDirection == BTNDIR_RIGHT || nDirection == BTNDIR_DOWN ? -1 : 1;
    const bool bVertical = nDirection == BTNDIR_UP || nDirection == BTNDIR_DOWN;
    for (int i = 0; i < 8; ++i)
    {
        const int dAlong = sign * along[i];
        points[i].x = x + (bVertical ? across[i] : dAlong);
        points[i].y = y + (bVertical ? dAlong : across[i]);
    }
}

CString FormatPreviewInfo(uint64_t nEstimatedSize, int32_t nDurationTicks, int nFrameRate, bool bEdited)
{
    CString text = " " + FormatMegabytes(nEstimatedSize);
    text += " \n " + FormatPlaybackTime(MakeDvdTime(nDurationTicks, nFrameRate));
    if (bEdited)
        text += " \n edited";
    return text + " ";
}

CString FormatPreviewPosition(uint64_t nPosition, uint64_t nSize, int nVobu, BYTE nAudioId, BYTE nAudioSubId,
                              BYTE nSubpictureId)
{
    const uint64_t p = std::min(nPosition, nSize);
    CString text;
    text.Format(" %s <> %s \n VOBU %d ", static_cast<const char*>(FormatMegabytes(p)),
                static_cast<const char*>(FormatMegabytes(nSize - p)), nVobu);
    CString streams;
    streams.Format("\n audio: {0x%02X:0x%02X} \n subpicture: {0xBD:0x%02X} ", nAudioId, nAudioSubId, nSubpictureId);
    return text + streams;
}

uint32_t FindPreviewVobu(const CVobCell& unit, const CCellDataStream& stream, uint64_t nPosition, uint64_t nStreamSize)
{
    const uint32_t nCount = unit.GetVobuCount();
    if (nCount == 0)
        return 0;
    const uint32_t nLast = nCount - 1;
    if (nPosition >= nStreamSize)
        return nLast;
    const uint64_t nAddress = stream.StreamToSourcePosition(nPosition);
    const int nVobu = nAddress == 0 ? 0 : FindVobuAtOffset(unit, nAddress);
    return std::min(uint32_t(std::max(nVobu, 0)), nLast);
}
