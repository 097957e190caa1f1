#include "test_support.h"

#include "base/app_paths.h"

namespace zambrel::testkit {

ScriptedResponder::ScriptedResponder(int fallback) : m_fallback(fallback)
{
    m_previous = base::setMessageResponder([this](const base::MessageRequest &request) {
        m_shown.push_back(request);
        if (m_answers.empty())
            return m_fallback;
        const int reply = m_answers.front();
        m_answers.pop_front();
        return reply;
    });
}

ScriptedResponder::~ScriptedResponder()
{
    base::setMessageResponder(m_previous);
}

TempProgramFolder::TempProgramFolder()
{
    base::setProgramFolder(m_dir.path());
    base::setSettingsFile(m_dir.filePath(QStringLiteral("settings.ini")));
}

TempProgramFolder::~TempProgramFolder()
{
    base::setCurrentSkinPath({});
    base::setProgramFolder({});
    base::setSettingsFile({});
}

} // namespace zambrel::testkit
