// The entry of a program built on the framework: the application object,
// made by the program's static initialisers, takes over from here. Linked
// only into programs that have no main of their own.
#include "framework/win/WinThread.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
