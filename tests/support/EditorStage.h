#pragma once
// The whole editor in the test process, as Kestrelux.exe starts it: the
// application object with its document template and main window, in a
// private working folder with a fresh registry key. Projects are imported
// from fixture discs and closed without saving; message boxes are answered.

#include "DVD/source/VobData.h"
#include "DvdGui/source/DvdDoc.h"
#include "DvdGui/source/DvdGuiApp.h"
#include "DvdGui/source/DvdView.h"
#include "DvdGui/source/MainFrm.h"
#include "tests/gui/GuiHarness.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchFolder.h"

#include <windows.h>

#include <string>

namespace kxtest
{

class EditorStage
{
public:
    bool Start()
    {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brannwick\\Kestrelux");
        if (!m_scratch.Created())
            return false;
        ::GetCurrentDirectoryA(sizeof(m_oldDir), m_oldDir);
        ::SetCurrentDirectoryA(m_scratch.Path().c_str());
        if (!app.InitInstance())
            return false;
        Pump();
        return true;
    }
    void Stop()
    {
        if (app.m_pMainWnd)
        {
            kxgui::DialogAnswerer answerer(IDNO);
            app.m_pMainWnd->SendMessage(WM_CLOSE);
        }
        app.ExitInstance();
        kxgui::PumpUntilIdle();
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        {
        }
        PurgeUnusedVobData();
        ::SetCurrentDirectoryA(m_oldDir);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brannwick\\Kestrelux");
    }

    // The fixture disc as a new project; null when the import failed.
    CDvdDoc* Import(const char* fixture)
    {
        kxgui::DialogAnswerer answerer(IDOK);
        CDvdDoc* pDoc = app.ImportDvd(FixturePath(fixture, "VIDEO_TS").c_str());
        Pump();
        return pDoc;
    }
    // Closes the project unsaved.
    void Close(CDvdDoc* pDoc)
    {
        if (pDoc == nullptr)
            return;
        pDoc->SetModifiedFlag(FALSE);
        pDoc->OnCloseDocument();
        Pump();
    }

    static CDvdView* ViewOf(CDvdDoc* pDoc)
    {
        POSITION pos = pDoc->GetFirstViewPosition();
        return pos ? dynamic_cast<CDvdView*>(pDoc->GetNextView(pos)) : nullptr;
    }
    CMainFrame& Frame() { return *static_cast<CMainFrame*>(app.m_pMainWnd); }

    // Pumps as the program's loop does: keys reach the windows' own
    // translation and the accelerators first.
    static void Pump()
    {
        kxgui::PumpUntilIdle([](MSG& msg) { return AfxGetApp()->PreTranslateMessage(&msg) != FALSE; });
    }

    CDvdGuiApp app;

private:
    ScratchFolder m_scratch;
    char m_oldDir[MAX_PATH] = "";
};

} // namespace kxtest
