#pragma once
// The client's main window: a frame without menu or bars whose whole client
// area is the browser view. Closing it only hides it (WM_CLOSE with wParam
// 0, also the close button); WM_CLOSE with a non-zero wParam ends the client.
// An address sent with WM_COPYDATA goes to the active view as UM_NAVIGATE.

#include "client/framework/FrameWnd.h"

class CMainFrame : public framework::FrameWnd {
public:
    CMainFrame();

protected:
    int OnCreate() override;

private:
    framework::LRESULT OnClose(framework::WPARAM wParam);
    framework::LRESULT OnCopyData(framework::LPARAM lParam);
};
