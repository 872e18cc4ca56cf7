#include "updater/UserPrompt.h"

#include "updater/UpdaterTexts.h"

#include "platform/MessageBox.h"
#include "shared/ProgramNames.h"

#include <QApplication>
#include <string>

CUserPrompt::CUserPrompt() = default;
CUserPrompt::~CUserPrompt() = default;

bool CUserPrompt::AskOkCancel(std::string_view question)
{
    if (!m_pApplication && !QCoreApplication::instance()) {
        // Fetchwell's own arguments are not Qt's to read.
        static int argc = 1;
        static char name[] = "Fetchwell";
        static char* argv[] = {name, nullptr};
        m_pApplication = std::make_unique<QApplication>(argc, argv);
    }
    return platform::messageBox(std::string(question), std::string(updater_text::kBoxCaption),
                                platform::MB_OKCANCEL) == int(platform::IDOK);
}
