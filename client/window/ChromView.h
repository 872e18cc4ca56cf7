#pragma once
// The browser host view: a child of the browser view that holds the engine's
// browser, turns addresses into loads, owns the page functions and the two
// shared memories, and receives the messages of the client's other parts and
// of other programs:
//
//   UM_NAVIGATE     lParam = std::string* (ANSI), valid during the call: loads
//                   it (no logout test) and writes it to ConsoleMsg.log
//   WM_COPYDATA     an address from another program: logout test, log, load
//   UM_SCRIPT_CALL  wParam = ScriptCallInfo*: runs a page function
//   UM_SHELL_OPEN   wParam = std::string* (ANSI), posted, owned by this view
//                   from then on: opens it with the desktop's handler
//   WM_SIZE         keeps the browser covering the view
//
// Shared memories (see shared/SharedRegions.h): "tolvan" holds the client
// state, "sound" the sound switch, which is set to 1 whenever a host view is
// made. Both are reused when they exist already (the tray tool keeps them
// open across client runs).

#include "client/framework/View.h"
#include "com/Variant.h"
#include "engine/cef/CefBase.h"
#include "engine/cef/CefString.h"
#include "platform/SharedMemory.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class CCefBrowHandl;
class CChromView;

// A page function: runs on the window thread with its own copy of the
// page's converted arguments and returns its result (VT_EMPTY: none).
using PageFunction = com::VARIANT (*)(CChromView* hostView, std::vector<com::VARIANT> args);

// The built-in logout address of the site system (chrome.ini's default).
std::string BuiltInLogoutUrl();

class CChromView : public framework::View {
public:
    CChromView();
    ~CChromView() override;

    // Creates the window, the client handler and (asynchronously) the
    // browser, and registers the page functions. Always true.
    bool Create(framework::Wnd* parent, const QRect& rect, int controlId) override;

    // Loads the address (ANSI); an address equal to chrome.ini's logoutUrl
    // logs out first. Before the browser exists it becomes the pending load.
    virtual void Navigate(const std::string& url);
    virtual void RegisterPageFunctions();

    CCefBrowHandl* GetHandler() const { return m_pHandler.get(); }
    // The page function registered under the name, or nothing.
    PageFunction FindPageFunction(const CefString& name) const;

    // chrome.ini [LinkInfo]: logoutUrl (default: the built-in one), loginUrl.
    std::string GetLogoutUrl() const;
    std::string GetLoginUrl() const;

    // The shared values; writes are skipped and reads give nothing when the
    // region could not be made.
    void WriteClientState(std::int32_t state);
    std::optional<std::int32_t> ReadClientState() const;
    void WriteSoundSwitch(std::int8_t value);
    std::optional<std::int8_t> ReadSoundSwitch() const;

    std::int32_t m_nReplyCode = 0;
    std::string m_strIniPath;  // full path of chrome.ini

private:
    framework::LRESULT OnNavigate(framework::LPARAM lParam);
    framework::LRESULT OnCopyData(framework::LPARAM lParam);
    framework::LRESULT OnScriptCall(framework::WPARAM wParam);
    framework::LRESULT OnShellOpen(framework::WPARAM wParam);
    void OnSize();
    void CreateBrowser(const QRect& rect);
    // Writes one ConsoleMsg.log record with the switch on for just this write.
    void LogNavigation(const std::string& ansiAddress);

    CefRefPtr<CCefBrowHandl> m_pHandler;
    std::map<CefString, PageFunction> m_pageFunctions;
    platform::SharedMemory m_stateRegion;
    platform::SharedMemory m_soundRegion;
};
