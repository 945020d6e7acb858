// CExtHyperLinkButton: a push button drawn as a link. Its caption shows in
// link colours (underlined under the cursor, with a hand cursor), and a
// click opens a target (a web address, a file or anything the shell opens)
// with a shell verb, trying the Internet-shortcut object, the shell and the
// command registered for ".htm" documents in an order that depends on the
// target. A successful open marks the link visited. It can also click as
// an ordinary button that only looks like a link.
#pragma once

#include "uitoolkit/controls/ExtButton.h"

class CExtHyperLinkButton : public CExtButton
{
    DECLARE_DYNCREATE(CExtHyperLinkButton)
public:
    enum e_link_flags : BYTE
    {
        LINK_CLICK_AS_BUTTON = 0x01,
        LINK_SHOW_VISITED = 0x02,
        LINK_VISITED = 0x04,
    };
    // Verb indexes: "open", "edit", "print".
    enum e_verb
    {
        VERB_OPEN = 0,
        VERB_EDIT = 1,
        VERB_PRINT = 2,
    };

    CExtHyperLinkButton();

    virtual bool OpenByUrlObject(const CString& sTarget, int nVerb, bool bShowError);
    virtual bool OpenByShellExecute(const CString& sTarget, int nVerb, bool bShowError);
    virtual bool OpenByRegistryCommand(const CString& sTarget, int nVerb, bool bShowError);
    virtual void DrawLinkText(CDC& dc, const CRect& rcArea, bool bVisited, bool bEnabled, bool bFocusOption,
                              bool bFocus, bool bHover, bool bPushed);
    virtual COLORREF GetLinkTextColor(bool bVisited, bool bEnabled, bool bFocusOption, bool bFocus, bool bHover,
                                      bool bPushed);
    virtual CString GetLinkText() const;
    // Opens the target; on success the link is marked visited and repainted.
    virtual bool OpenUrl(const CString& sTarget, int nVerb = VERB_OPEN, bool bShowError = false);

    // The command line the registered ".htm" command gives for the target
    // and verb, read under m_hKeyClassesRoot; false when a key is missing.
    bool GetRegistryCommandLine(const CString& sTarget, int nVerb, CString& sCommandLine) const;

    void OnClick(bool bByKeyboard, bool bArrowPart) override;
    void PaintFace(CDC& dc, bool bTransparentBackground, bool bHonourMirroring) override;

    CString m_strURL;
    BYTE m_bLinkFlags = LINK_SHOW_VISITED;
    UINT m_nLinkTextAlign = 0; // 0 left, 1 centre, 2 right
    COLORREF m_clrVisited = RGB(128, 0, 128);
    bool m_bAlwaysUnderline = false;
    // Where the document types are looked up: the classes root, or a key
    // that holds the same layout.
    HKEY m_hKeyClassesRoot = HKEY_CLASSES_ROOT;

protected:
    void ShowOpenError(int nCode);
    UINT GetDrawTextAlignment() const;
};
