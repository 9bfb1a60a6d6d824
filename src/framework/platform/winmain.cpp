// The program's entry point. Kept apart from the rest of the framework so that test
// programs, which bring their own main, can link everything else.
#include "platform/app.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int nCmdShow) { return AfxWinMain(hInstance, nCmdShow); }
