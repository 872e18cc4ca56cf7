#pragma once
// Fetchwell's questions to the user: message boxes captioned "提示" with OK
// and Cancel, without an owner window.

#include <memory>
#include <string_view>

class QApplication;

class CUserPrompt {
public:
    CUserPrompt();
    ~CUserPrompt();
    CUserPrompt(const CUserPrompt&) = delete;
    CUserPrompt& operator=(const CUserPrompt&) = delete;

    // True when the user pressed OK.
    bool AskOkCancel(std::string_view question);

private:
    // Made with the first question, so a run that asks nothing needs no
    // display; kept for the second.
    std::unique_ptr<QApplication> m_pApplication;
};
