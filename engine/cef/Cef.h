#pragma once
// The whole engine interface.

#include "engine/cef/CefApp.h"
#include "engine/cef/CefBase.h"
#include "engine/cef/CefBrowser.h"
#include "engine/cef/CefClient.h"
#include "engine/cef/CefCommandLine.h"
#include "engine/cef/CefDownload.h"
#include "engine/cef/CefScheme.h"
#include "engine/cef/CefString.h"
#include "engine/cef/CefTask.h"
#include "engine/cef/CefTypes.h"
#include "engine/cef/CefV8.h"
