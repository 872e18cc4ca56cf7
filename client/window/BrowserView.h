#pragma once
// The view that fills the main window. It decides the start address (the
// command line's, else config.ini's, else the site system's home page) and
// holds the browser host view, which it keeps filling its client area.
//
// It is the frame's active view until the user clicks into the browser;
// until then the addresses other programs send arrive here as UM_NAVIGATE
// and take the host view's Navigate (with its logout test).

#include "client/framework/View.h"

#include <string>

class CChromView;

// The site system's home page, used when neither the command line nor
// config.ini names a start address.
std::string BuiltInHomeUrl();

class CBrowserView : public framework::View {
public:
    CBrowserView();

    std::string m_strUrl;                // the address last handed to the host view (ANSI)
    CChromView* m_pChromView = nullptr;  // a child window: deleted with this view

protected:
    int OnCreate() override;

private:
    framework::LRESULT OnNavigate(framework::LPARAM lParam);
    void OnSize();
};

// The control id of the browser host view.
inline constexpr int kChromViewId = 308;
