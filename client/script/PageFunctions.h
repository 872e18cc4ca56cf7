#pragma once
// The page functions: what the site system's pages can ask of the desktop
// through `external`. Each runs on the window thread with the page's
// arguments as converted by the script bridge (empty values dropped); a call
// whose first argument is missing or of another type does nothing else.
//
//   GetBindShopResponse(text)  hands a shop-binding answer to the Corvane
//                              e-commerce manager (WM_COPYDATA, wParam = the
//                              reply code of the command line), then closes
//                              its "北京Corvane软件有限公司" window
//   SendUserInfo(text)         client state 1, then restarts the tray tool
//                              with "compId;username"
//   ContactService(account)    opens the customer-service chat for the account
//   Logout()                   client state 2
//   PlaySound(n)               sound switch := low byte of n; returns it,
//                              read back as a signed byte
//
// They return VT_EMPTY (the page gets undefined) unless listed otherwise.

#include "client/window/ChromView.h"

com::VARIANT GetBindShopResponse(CChromView* hostView, std::vector<com::VARIANT> args);
com::VARIANT SendUserInfo(CChromView* hostView, std::vector<com::VARIANT> args);
com::VARIANT ContactService(CChromView* hostView, std::vector<com::VARIANT> args);
com::VARIANT Logout(CChromView* hostView, std::vector<com::VARIANT> args);
com::VARIANT PlaySound(CChromView* hostView, std::vector<com::VARIANT> args);

// After every page that loaded with status 200: when its address (ANSI)
// contains chrome.ini's loginUrl (an empty one is contained in every address)
// and the client state is 1, the state becomes 3: the user is back on the
// login page after a login.
void ApplyLoginStateRule(CChromView* hostView, const std::string& ansiUrl);
