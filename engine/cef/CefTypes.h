#pragma once
// Plain types of the engine: window handles, rectangles, the global and the
// per-browser settings, and the enumerations the interfaces use.

#include "engine/cef/CefString.h"

#include <cstdint>

class QWidget;

// A browser's window is a Qt widget. A browser created as a child of a widget
// is a direct child of it, so parentWidget() of the browser's window is the
// widget given at creation (as a child window's parent is on other systems).
using CefWindowHandle = QWidget*;

struct CefRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Where a new browser's window goes.
struct CefWindowInfo {
    // Makes the browser window a visible child of `parent` covering `rect`
    // (in the parent's coordinates). Without it the browser gets a top-level
    // window of its own.
    void SetAsChild(CefWindowHandle parent, const CefRect& rect)
    {
        m_ParentWindow = parent;
        m_Rect = rect;
    }

    CefWindowHandle m_ParentWindow = nullptr;
    CefRect m_Rect;
    CefString m_WindowName;  // title of a top-level browser window
};

// ---- Global settings -------------------------------------------------------

enum cef_graphics_implementation_t {
    ANGLE_IN_PROCESS = 0,
    ANGLE_IN_PROCESS_COMMAND_BUFFER = 1,
    DESKTOP_IN_PROCESS = 2,
    DESKTOP_IN_PROCESS_COMMAND_BUFFER = 3,
};

enum cef_log_severity_t {
    LOGSEVERITY_VERBOSE = -1,
    LOGSEVERITY_INFO = 0,
    LOGSEVERITY_WARNING = 1,
    LOGSEVERITY_ERROR = 2,
    LOGSEVERITY_ERROR_REPORT = 3,
    LOGSEVERITY_DISABLE = 99,
};

// The engine's global settings, given to CefInitialize. Qt WebEngine honours
// some of them; the others are kept but have no effect (marked below).
struct CefSettings {
    // No effect: Qt WebEngine runs on the Qt GUI thread, so the engine's
    // user-interface thread is always the application's window thread (see
    // CefTask.h).
    bool multi_threaded_message_loop = false;
    // Folder of the disk cache, the cookie database ("Cookies") and the other
    // stored data of the one browser profile. Empty: nothing is stored on
    // disk (cookies and cache live in memory).
    CefString cache_path;
    // Empty: the engine's default. Replaces the whole User-Agent text.
    CefString user_agent;
    // Replaces the product part ("Chrome/<version>") of the default
    // User-Agent text when user_agent is empty.
    CefString product_version;
    // Language of the engine (Accept-Language and Chromium's own texts).
    // Empty: the process's locale.
    CefString locale;
    // No effect: Chromium writes no log file here; with log_severity
    // LOGSEVERITY_DISABLE Chromium is told to log nothing but fatal errors.
    CefString log_file;
    int log_severity = LOGSEVERITY_INFO;
    bool release_dcheck_enabled = false;                       // no effect
    cef_graphics_implementation_t graphics_implementation = ANGLE_IN_PROCESS;  // no effect
    unsigned int local_storage_quota = 0;                      // no effect
    unsigned int session_storage_quota = 0;                    // no effect
    // Passed to the script engine (Chromium's --js-flags).
    CefString javascript_flags;
    // Folder of Qt WebEngine's resource files (qtwebengine_resources.pak,
    // icudtl.dat); used only when that file exists there.
    CefString resources_dir_path;
    // Folder of Qt WebEngine's locale files (<locale>.pak); used only when it
    // holds one.
    CefString locales_dir_path;
    bool pack_loading_disabled = false;                        // no effect
    int uncaught_exception_stack_size = 0;                     // no effect
    int context_safety_implementation = 0;                     // no effect
};

// ---- Per-browser settings --------------------------------------------------

// Settings of one browser, given at creation. Qt WebEngine honours some of
// them; the others are kept but have no effect (marked below).
struct CefBrowserSettings {
    bool drag_drop_disabled = false;          // nothing can be dropped into the page
    bool history_disabled = false;            // the back/forward list is cleared after each load
    int minimum_font_size = 0;                // 0: the engine's default
    int minimum_logical_font_size = 0;        // 0: the engine's default
    bool encoding_detector_enabled = false;   // no effect: Qt WebEngine has no encoding detector
    bool plugins_disabled = false;            // Chromium's plug-ins (Pepper, the PDF viewer)
    bool text_area_resize_disabled = false;   // text areas get no resize handle
    bool user_style_sheet_enabled = false;    // no effect without a location
    CefString user_style_sheet_location;      // no effect: Qt WebEngine has no user style sheets
    bool local_storage_disabled = false;
    bool databases_disabled = false;          // no effect: Qt WebEngine cannot switch databases off
    bool accelerated_2d_canvas_disabled = false;
};

// ---- Threads ---------------------------------------------------------------

enum CefThreadId {
    TID_UI = 0,    // the engine's user-interface thread: the Qt GUI thread
    TID_FILE = 1,  // a worker thread of the engine for file work, tasks in order
};

// ---- Keys ------------------------------------------------------------------

enum cef_handler_keyevent_type_t {
    KEYEVENT_RAWKEYDOWN = 0,
    KEYEVENT_KEYDOWN = 1,
    KEYEVENT_KEYUP = 2,
    KEYEVENT_CHAR = 3,
};

// Modifier bits of key events. KEY_NUMLOCK is set while Num Lock is on.
enum cef_handler_keyevent_modifiers_t {
    KEY_SHIFT = 1 << 0,
    KEY_CTRL = 1 << 1,
    KEY_ALT = 1 << 2,
    KEY_META = 1 << 3,
    KEY_KEYPAD = 1 << 4,
    KEY_AUTOREPEAT = 1 << 5,
    KEY_CAPSLOCK = 1 << 9,
    KEY_NUMLOCK = 1 << 10,
};

// ---- Script values ---------------------------------------------------------

enum cef_v8_propertyattribute_t {
    V8_PROPERTY_ATTRIBUTE_NONE = 0,
    V8_PROPERTY_ATTRIBUTE_READONLY = 1 << 0,
    V8_PROPERTY_ATTRIBUTE_DONTENUM = 1 << 1,
    V8_PROPERTY_ATTRIBUTE_DONTDELETE = 1 << 2,
};

// ---- Load errors -----------------------------------------------------------

// Chromium's network error codes (negative); a few common ones by name.
enum cef_handler_errorcode_t {
    ERR_NONE = 0,
    ERR_FAILED = -2,
    ERR_ABORTED = -3,
    ERR_FILE_NOT_FOUND = -6,
    ERR_TIMED_OUT = -7,
    ERR_CONNECTION_CLOSED = -100,
    ERR_CONNECTION_RESET = -101,
    ERR_CONNECTION_REFUSED = -102,
    ERR_NAME_NOT_RESOLVED = -105,
    ERR_INTERNET_DISCONNECTED = -106,
    ERR_ADDRESS_UNREACHABLE = -109,
    ERR_UNKNOWN_URL_SCHEME = -302,
};
