#pragma once
// Receives a downloaded file's bytes (see CefRequestHandler::GetDownloadHandler).

#include "engine/cef/CefBase.h"

class CefDownloadHandler : public virtual CefBase {
public:
    // The next piece of the file, in order, on the engine's user-interface
    // thread. Return false to cancel the download.
    virtual bool ReceivedData(void* data, int dataSize) = 0;
    // Every byte has been delivered. A download that is cancelled or fails
    // ends without Complete: the engine only releases the handler.
    virtual void Complete() = 0;
};
